// Checking a file the tool reads or writes against the catalogue: what kind
// it is (from its size and content, never its name) and what it holds. The
// blocks of an image or a ROM file are read and checked one at a time, so
// memory does not grow with the file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "base/files.h"
#include "base/flash_geometry.h"
#include "catalogue/catalogue.h"
#include "disk/disk_reader.h"
#include "inspect/catalogue_check.h"

// Statuses of inspectFile and nextBlock (and of opening an image to compare).
enum class InspectStatus {
    Read = 0,           // read and checked (the report may still show problems)
    Unrecognised = -2,  // none of the kinds the tool reads or writes
    CannotOpen = -3,    // missing, or not readable
    ReadError = -4,
    NotRegular = -5,  // a folder, FIFO or device: never opened
    NotImage = -6,    // readable, but not 524288 bytes (to compare)
};

enum class InspectedKind { Image = 0, Loader = 1, Rom = 2, Catalogue = 3, Disk = 4 };
enum class BlockContent { Blank, Known, Unknown };

// One 8 KB block: a bank of an image, or a block of a ROM file.
struct BlockReport {
    long index = 0;  // the bank, or the block's index in its file
    BlockContent content = BlockContent::Blank;
    uint16_t crc = 0;
    const CatalogueEntry* entry = nullptr;  // for Known
    bool misplaced = false;                 // in an image: known, but its entry does not name this bank
};

struct BlockCounts {
    long used = 0;  // not blank
    long blank = 0;
    long unknown = 0;
    long misplaced = 0;
};

struct LoaderReport {
    bool damaged = false;
    std::size_t damageOffset = 0;
    std::string damage;  // the kind of damage
    bool hasFlasher = false;
    uint16_t flasherAddress = 0;
    std::size_t flasherSize = 0;  // as "fcFlash.prg" was: load address + body
    uint8_t bankByte = 0;
    uint16_t blockStart = 0;
    std::size_t blockSize = 0;
    uint16_t crc = 0;
    const CatalogueEntry* entry = nullptr;
    bool bankNamed = false;  // the bank byte is one of the entry's banks
};

// The blocks of a flash image or a ROM file, read and checked one at a time.
struct BlockReading {
    long blocks = 0;  // of an image (64) or a ROM file
    long read = 0;
    BlockCounts counts;
    std::array<uint8_t, kBlockSize> block{};  // the block read last
};

struct ImageReport {
    BlockReading reading;
};

struct RomReport {
    bool hasLoadAddress = false;
    uint16_t loadAddress = 0;
    BlockReading reading;
};

// What the checks found in one file of a disk image.
struct DiskFileCheck {
    bool chained = true;   // its entry starts a chain (a separator does not)
    bool whole = false;    // its chain was followed to its end: it was checked
    bool damaged = false;  // the disk's damage names it
    bool told = false;     // and is of a kind the tool reads or writes
    InspectedKind kind = InspectedKind::Rom;
    long blocks = 0;  // 8 KB blocks, of a ROM file or an image
    BlockCounts counts;
    LoaderReport loader;
    bool good = false;  // nothing wrong found: a file of another kind is not wrong
};

struct DiskImageReport {
    DiskReport disk;
    std::vector<DiskFileCheck> files;  // what each file of its directory holds
};

// The report of each kind, in the order of InspectedKind.
using KindReport = std::variant<ImageReport, LoaderReport, RomReport, CatalogueReport, DiskImageReport>;

// Where a file's bytes come from: its stream (open while blocks are left
// to read), or the bytes a disk image holds for one of its files.
struct FileSource {
    FilePtr stream;
    const std::vector<uint8_t>* held = nullptr;
    std::size_t heldAt = 0;
};

// One file named on the inspector's command line: what every file has, and
// the report of its kind. A bank loader file, a catalogue and a disk image
// are checked whole by inspectFile; an image or a ROM file stays open for
// nextBlock, which counts what each block holds.
struct InspectedFile {
    std::string path;
    bool asCatalogue = false;  // read as a catalogue, whatever its size and content
    InspectStatus status = InspectStatus::Read;
    int64_t size = 0;
    FileSource source;
    KindReport report;  // as told by inspectFile
};

// Returns: the kind inspectFile told.
inline InspectedKind kindOf(const InspectedFile& file) { return static_cast<InspectedKind>(file.report.index()); }

// Returns: the blocks of an image or a ROM file, or nullptr for another kind.
BlockReading* readingOf(InspectedFile& file);
const BlockReading* readingOf(const InspectedFile& file);

// Opens the file at file.path and tells its kind: exactly 524288 bytes is a
// flash image; a size only a bank loader file can have, a bank loader file
// (damage reported); whole 8 KB blocks, optionally after a 2-byte load
// address, a ROM file (none at all included); any other file whose first
// record is a loader record, a bank loader file.
// A disk image (of a size disk images come in, or cut short: see
// diskShapeOf) is read whole, and each of its files checked as a loose file is.
// Returns: Read, Unrecognised, CannotOpen,
// NotRegular or ReadError (also kept in file.status).
InspectStatus inspectFile(const Catalogue& catalogue, InspectedFile& file);

// Reads the next block of an image or a ROM file into file.block and checks it.
// Returns: true with report filled; false after the last block, or when it
// cannot be read (file.status is ReadError then).
bool nextBlock(const Catalogue& catalogue, InspectedFile& file, BlockReport& report);

// Checks the bytes of a bank loader file: whole records with right
// checksums, the flasher's records continuing each other, then exactly 32
// records of 256 bytes at 0x4000; reports the first damage with its offset.
void inspectLoaderBytes(const uint8_t* data, std::size_t size, const Catalogue& catalogue, LoaderReport& report);

// Returns: true when data is a whole bank loader file, with the flasher's
// records, for bank, carrying exactly the 8192 bytes of block.
bool loaderCarriesBlock(const uint8_t* data, std::size_t size, long bank, const uint8_t* block);

// Returns: true when the file, read to its end, shows nothing wrong: no
// damage, no unknown or misplaced block, a ROM file with a block to write,
// a bank loader file's bank named for its ROM.
bool inspectedFileIsGood(const InspectedFile& file);
