// Reading a disk image: its header, BAM and directory, and each file along
// its chain of sectors, with every damage found named and never followed:
// a chain that leaves the disk or loops, a sector two files use, a BAM
// whose counts and maps disagree, a sector the image's error bytes mark
// bad, an image cut short. Every walk is bounded by the disk's sectors, so
// a damaged image is read in bounded time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "disk/disk_format.h"

// What a disk image is, as far as its size tells: the format, its tracks,
// whether error bytes follow the sectors, and whether it is whole.
struct DiskShape {
    DiskFormat format = DiskFormat::D64;
    int tracks = 35;
    bool errorBytes = false;
    bool whole = true;  // else cut short: the size of no disk image, smaller than the shape's
};

// Returns: the size of an image of this shape (whole).
long diskShapeSize(const DiskShape& shape);

// Tells what a file of size bytes is as a disk image: one of the sizes
// a disk image comes in (174848, 175531, 196608 or 197376 bytes for a .d64
// of 35 or 40 tracks without or with error bytes, 819200 or 822400 for a
// .d81), or one cut short (larger than min, smaller than a whole one, of no
// such size).
// Returns: true with shape set, or false for a size no disk image has.
bool diskShapeOf(int64_t size, int64_t min, DiskShape& shape);

// Returns: whether the header sector of a disk of the format carries what
// every writer puts there: the link to the directory and the DOS version.
bool isDiskHeader(DiskFormat format, const uint8_t* header);

struct DiskFile {
    std::string name;           // as the directory holds it, without its padding
    uint8_t type = 0;           // the entry's type byte (0x82: a closed PRG file)
    long blocks = 0;            // as the directory says
    bool chained = true;        // its entry starts a chain; a DEL entry at 0/0 (a separator) does not
    std::vector<uint8_t> data;  // the bytes along its chain, as far as it could be followed
    bool whole = false;         // its chain was followed to its last sector
    bool damaged = false;       // a damage named concerns it
};

struct DiskReport {
    DiskShape shape;
    LongBam longBam = LongBam::None;  // of a 40-track .d64: where its BAM keeps tracks 36-40
    long size = 0;                    // of the image read
    std::string name, id;             // the disk's, without padding
    long blocksFree = 0;              // as the BAM counts them: every track but the directory's
    std::vector<DiskFile> files;
    std::vector<std::string> damage;
    long lost = 0;                         // blocks the BAM marks used that nothing holds (not told when cut short)
    std::vector<std::string> lostSectors;  // the first of them, as "17/3"
};

// Returns: what the image holds, and every damage found.
DiskReport readDiskImage(const uint8_t* bytes, std::size_t size, const DiskShape& shape);

// Returns: a disk type byte as a directory listing shows it ("prg", "seq", ...).
std::string diskFileType(uint8_t type);
