// Where one 8 KB block goes, decided and done in one place: its block file, then, unless it is
// blank, the bank loader files and flash slots of its catalogue banks or of the forced bank.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"
#include "output/bank_loader.h"
#include "output/flash_image.h"

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
// file, and writes it where it goes (its name tells the first half: it
// classifies, then it writes): with -b first to
// "blockXX.bin"; a block of all 0xFF no further; otherwise to the forced
// bank, or to every bank its CRC-16's catalogue entry names, lowest first:
// each bank's loader file and its slot of the image. Sets bytes 0 and 1 to
// the load address 0x4000 on the way.
void classifyBlock(BlockRoute& route, uint8_t* buffer, int index);
