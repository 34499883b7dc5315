// Where one 8 KB block goes: passed over when blank, else to its catalogue banks or the forced bank.
#pragma once

#include <cstdint>

#include "catalogue/catalogue_store.h"
#include "run/settings.h"

constexpr int kBlockSent = 0;
constexpr int kBlockUnknown = -1;
constexpr int kBlockBlank = 255;
constexpr int kBlockSize = 8192;

// Classifies the block in bytes 2..8193 of buffer, the index-th of its ROM
// file: with -b first saves it as "blockXX.bin"; a block of all 0xFF is
// passed over; otherwise it goes to the forced bank, or to every bank its
// CRC-16's catalogue entry names, lowest first. Sets bytes 0 and 1 to the
// load address 0x4000 before writing.
// Returns: kBlockSent, kBlockUnknown or kBlockBlank.
int classifyBlock(RunSettings& settings, const Catalogue& catalogue, uint8_t* buffer, int index);
