// Process-wide run settings: what the command line chose and what start-up loaded.
#pragma once

#include <array>
#include <cstdint>

#include "run/files.h"

constexpr std::size_t kFlasherCapacity = 1024;  // largest "fcFlash.prg" accepted
constexpr int32_t kNoForcedBank = -1;

struct RunSettings {
    int32_t verbosity = 1;                 // progress level; 0 and below silence gated messages
    int32_t forcedBank = kNoForcedBank;    // 0..255 sends every non-blank block to this bank
    bool writeBlockFiles = false;          // -b: also write "blockXX.bin" files
    bool writeFlashImage = false;          // -t: keep "flash.bin"; switched off if it cannot be made
    // The flasher program, plus one byte for the bank number that follows it in
    // every bank loader file (so a full 1024-byte program still has room for it).
    std::array<uint8_t, kFlasherCapacity + 1> flasherBuffer{};
    int32_t flasherSize = 0;
    FilePtr flashImageStream;              // open from openFlashImage to the end of the run
};
