// Where one 8 KB block goes: passed over when blank, else to its catalogue banks or the forced bank.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"
#include "output/bank_loader.h"
#include "output/flash_image.h"

constexpr int kBlockSent = 0;
constexpr int kBlockUnknown = -1;
constexpr int kBlockBlank = 255;
constexpr int32_t kNoForcedBank = -1;

// What the blocks of a run need on their way: the choices of the command
// line, the catalogue, what every bank loader file is made of, and the files
// no output may replace. Notes when an output could not be written in full.
struct BlockRoute {
    int32_t verbosity;
    int32_t forcedBank;  // 0..255 sends every non-blank block there; kNoForcedBank asks the catalogue
    bool writeBlockFiles;
    const Catalogue& catalogue;
    Flasher& flasher;
    FlashImage& image;
    SparedFiles& spared;  // each ROM file joins it when it is opened
    bool outputFailed = false;
};

// Classifies the block in bytes 2..8193 of buffer, the index-th of its ROM
// file: with -b first saves it as "blockXX.bin"; a block of all 0xFF is
// passed over; otherwise it goes to the forced bank, or to every bank its
// CRC-16's catalogue entry names, lowest first. Sets bytes 0 and 1 to the
// load address 0x4000 before writing.
// Returns: kBlockSent, kBlockUnknown or kBlockBlank.
int classifyBlock(BlockRoute& route, uint8_t* buffer, int index);
