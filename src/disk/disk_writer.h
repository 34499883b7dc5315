// Writing a disk image as the drive itself would: a freshly formatted disk,
// then PRG files one after the other, each in sectors taken as the drive's
// DOS takes them and entered in the directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "disk/disk_format.h"

struct DiskWriter {
    DiskFormat format = DiskFormat::D64;
    std::vector<uint8_t> image;
    int entries = 0;           // directory entries in use
    int directorySectors = 1;  // the sectors of the directory's chain, eight entries each
};

// Returns: a freshly formatted disk with this name (up to 16 characters) and
// two-character ID, as the directory holds them: header, BAM, empty directory.
DiskWriter formatDisk(DiskFormat format, const std::string& name, const std::string& id);

// Returns: the blocks free, as the drive counts them: on every track but the directory's.
long blocksFree(const DiskWriter& disk);

// Returns: true when a file of size bytes fits: its blocks are free and the
// directory has an entry for it.
bool fits(const DiskWriter& disk, std::size_t size);

// Writes a PRG file under name (as the directory holds it; at most 16
// characters): its first sector on the track nearest the directory track
// with one free, each next one the interleave further on, moving away from
// the directory track when a track is full. The file must fit.
void addFile(DiskWriter& disk, const std::string& name, const uint8_t* data, std::size_t size);
