// The run's settings: what the command line chose and what start-up loaded.
#pragma once

#include <cstdint>

#include "output/bank_loader.h"
#include "output/flash_image.h"
#include "rom/block_dispatch.h"

struct RunSettings {
    int32_t verbosity = 1;               // progress level; 0 and below silence gated messages
    int32_t forcedBank = kNoForcedBank;  // -sbXX: 0..255 sends every non-blank block to this bank
    bool writeBlockFiles = false;        // -b: also write "blockXX.bin" files
    bool writeFlashImage = false;        // -t: keep "flash.bin" (the image says whether it could be had)
    Flasher flasher;                     // loaded at start-up
    FlashImage flashImage;               // open from start-up to the end of the run
};
