// ROM image files: size check, optional load address, and the split into 8 KB blocks.
#pragma once

#include <cstdint>

#include "rom/block_dispatch.h"

enum class RomFileStatus {
    Done = 0,
    Rejected = -3,  // cannot be opened (mandatory file), or size not accepted
    ReadError = -4,
};

// What a file of some size is as a ROM file: whole 8 KB blocks, optionally
// after a 2-byte load address. No whole block (0 or 2 bytes) is still a ROM
// file, one with nothing to write.
struct RomLayout {
    bool accepted = false;  // false: the size is neither a multiple of 8192 nor that plus 2
    bool hasLoadAddress = false;
    long blocks = 0;
};

// Returns: the layout of a ROM file of size bytes (size >= 0).
RomLayout romLayout(int64_t size);

// Reads the ROM file at path block by block and classifies each block. An
// optional file (the all-banks mode) that does not exist is passed over
// silently. Accepted sizes: multiples of 8192, or that plus a 2-byte load
// address; exactly 8192 (after the load address) with a forced bank.
// Returns: Done, Rejected or ReadError.
RomFileStatus processRomFile(BlockRoute& route, const char* path, bool optional);
