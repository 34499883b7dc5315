// The disk images the drives take: a .d64 (35 tracks of the 1541, or the 40
// the faster DOSes of the field use) and a .d81 (80 tracks of the 1581).
// Their geometry, where the header, the BAM (block availability map) and the
// directory lie, and the names a directory holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class DiskFormat { D64, D81 };

constexpr std::size_t kSectorSize = 256;
constexpr std::size_t kSectorPayload = 254;  // a sector's bytes after its link to the next
constexpr std::size_t kNameLength = 16;
constexpr uint8_t kNamePad = 0xA0;    // a shifted space: pads names and the header
constexpr uint8_t kClosedPrg = 0x82;  // a directory entry's type: a closed PRG file
constexpr std::size_t kEntrySize = 32;
constexpr long kD64Size = 174848;            // 683 sectors
constexpr long kD64WithErrorsSize = 175531;  // and an error byte for each
constexpr long kD64LongSize = 196608;        // 40 tracks: 768 sectors
constexpr long kD64LongWithErrorsSize = 197376;
constexpr long kD81Size = 819200;  // 3,200 sectors
constexpr long kD81WithErrorsSize = 822400;
constexpr int kD64LongTracks = 40;

// Where a 40-track .d64 keeps the BAM of tracks 36-40 in its header
// sector: after the disk's name (DolphinDOS) or after the DOS type
// (SpeedDOS), as each DOS writes it; or nowhere (an image of a 40-track
// disk whose DOS kept no BAM for them).
enum class LongBam { None, SpeedDos, DolphinDos };

struct DiskGeometry {
    DiskFormat format;
    int tracks;
    int directoryTrack;
    int headerSector;          // on the directory track: the disk's name and ID
    int firstDirectorySector;  // where the directory's chain starts
    int directoryInterleave;   // the step from one directory sector to the next
    int fileInterleave;        // and from one sector of a file to the next
    int maxEntries;            // the directory entries the directory track holds
    long size;                 // of an image without error bytes
    const char* extension;
    // The header: the DOS version at byte 2; from label on, the disk's name
    // (padded to 18 bytes), its ID, a pad and the DOS type, then pads up to
    // labelEnd.
    char dosVersion;
    const char* dosType;
    std::size_t label, labelEnd;
};

const DiskGeometry& geometryOf(DiskFormat format);

// Returns: the sectors on track (1 onwards) of the format, counting the
// tracks 36-40 of a 40-track .d64; 0 for no such track.
int sectorsOnTrack(DiskFormat format, int track);

// Returns: the offset in the image of track/sector; -1 when there is no such sector.
long sectorOffset(DiskFormat format, int track, int sector);

// Returns: the offset in the image of track's BAM entry: its count of free
// sectors, then its map (a bit a sector, set when free, sector 0 the lowest
// bit of the first byte); tracks 36-40 of a .d64 where longBam says; -1 for
// no such track, or one the BAM does not keep.
long bamEntryOffset(DiskFormat format, int track, LongBam longBam = LongBam::None);

// Returns: the bytes of a track's map in the BAM.
inline std::size_t bamMapBytes(DiskFormat format) { return format == DiskFormat::D64 ? 3 : 5; }

// Returns: the blocks a file of size bytes takes on a disk (at least one).
long blocksFor(std::size_t size);

// Turns text into what the drive shows: lower-case letters as upper case.
// Returns: false when text holds a character the drive cannot show and
// load as written (quotes, commas, colons, wildcards, ...), with bad set to it.
bool diskText(const std::string& text, std::string& shown, char& bad);

// Turns a file name into the name a directory holds: the name without its
// folders and ".prg" (any case), lower-case letters as the drive shows them
// (upper case, PETSCII 0x41-0x5A). Letters, digits, space and the signs
// that show and load as written are taken; quotes, commas, colons,
// wildcards and the rest are not, nor a name longer than 16 characters, an
// empty one, or one the drive reads as something else ("$", which lists
// the directory; a leading "@", a command).
// Returns: true with name set, or false with why it is refused.
bool diskFileName(const std::string& fileName, std::string& name, std::string& why);
