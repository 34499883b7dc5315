// Checking what is in a flash image or a bank loader file, against the catalogue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"

// Statuses of the inspect operations.
constexpr int kInspectRead = 0;        // read and checked (the report may still show problems)
constexpr int kInspectWrongSize = -2;  // a flash image that is not exactly 524288 bytes
constexpr int kInspectCannotOpen = -3;  // missing, or not readable
constexpr int kInspectNotRegular = -5;  // a folder, FIFO or device: never opened
constexpr int kInspectReadError = -4;

enum class BankContent { Blank, Known, Unknown };

struct BankReport {
    int bank = 0;
    BankContent content = BankContent::Blank;
    uint16_t crc = 0;
    const CatalogueEntry* entry = nullptr;  // for Known
    bool misplaced = false;                 // known, but its entry does not name this bank
};

struct ImageReport {
    std::vector<BankReport> banks;  // 64, in bank order
    int used = 0;
    int blank = 0;
    int unknown = 0;
    int misplaced = 0;
    long size = 0;  // the file's size, also when it is refused
};

struct LoaderReport {
    long size = 0;
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

// One file named on the inspector's command line: which kind, what was found,
// or why it could not be read.
struct InspectedFile {
    std::string path;
    bool isImage = false;
    int status = kInspectRead;
    ImageReport image;
    LoaderReport loader;
};

// Reads the flash image at path and reports each of its 64 slots.
// Returns: kInspectRead, kInspectWrongSize, kInspectCannotOpen, kInspectNotRegular or kInspectReadError.
int inspectFlashImage(const char* path, const Catalogue& catalogue, ImageReport& report);

// Checks the bytes of a bank loader file: whole records with right
// checksums, the flasher's records continuing each other, then exactly 32
// records of 256 bytes at 0x4000; reports the first damage with its offset.
void inspectLoaderBytes(const uint8_t* data, std::size_t size, const Catalogue& catalogue, LoaderReport& report);

// Reads the bank loader file at path (never more than a bank loader file can hold) and checks it.
// Returns: kInspectRead, kInspectCannotOpen, kInspectNotRegular or kInspectReadError.
int inspectLoaderFile(const char* path, const Catalogue& catalogue, LoaderReport& report);

// Returns: true when the report shows nothing wrong (no damage, a known ROM in a bank it names).
bool loaderIsGood(const LoaderReport& report);
