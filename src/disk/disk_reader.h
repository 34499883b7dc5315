// Reading a disk image: its header, BAM and directory, and each file along
// its chain of sectors, with every damage found named and never followed:
// a chain that leaves the disk or loops, a sector two files use, a BAM
// whose counts and maps disagree, an image cut short. Every walk is bounded
// by the disk's sectors, so a damaged image is read in bounded time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "disk/disk_format.h"

struct DiskFile {
    std::string name;           // as the directory holds it, without its padding
    uint8_t type = 0;           // the entry's type byte (0x82: a closed PRG file)
    long blocks = 0;            // as the directory says
    std::vector<uint8_t> data;  // the bytes along its chain, as far as it could be followed
    bool whole = false;         // its chain was followed to its last sector
};

struct DiskReport {
    DiskFormat format = DiskFormat::D64;
    long size = 0;         // of the image read
    std::string name, id;  // the disk's, without padding
    long blocksFree = 0;   // as the BAM counts them: every track but the directory's
    std::vector<DiskFile> files;
    std::vector<std::string> damage;
};

// Returns: the offset of the header of an image of the format that is size
// bytes long (174848 or 175531 bytes for 35 tracks, 819200 for 80, or cut
// short with its header there); -1 when no such image is that long.
long diskHeaderAt(DiskFormat format, std::size_t size);

// Returns: whether the 256 bytes at header are the header of a disk of the
// format: whole, an image of the full size; else one cut short, whose
// header must carry the full signature the drive writes.
bool isDiskHeader(DiskFormat format, const uint8_t* header, bool whole);

// Returns: what the image holds, and every damage found.
DiskReport readDiskImage(const uint8_t* bytes, std::size_t size, DiskFormat format);

// Returns: a disk type byte as a directory listing shows it ("prg", "seq", ...).
std::string diskFileType(uint8_t type);
