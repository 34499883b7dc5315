// The flash image "flash.bin": 64 slots of 8 KB, kept between runs.
#pragma once

#include <cstdint>

#include "run/settings.h"

constexpr long kFlashImageSize = 524288;   // 64 banks × 8192 bytes
constexpr int kSlotSize = 8192;
constexpr int kSlotCount = 64;
constexpr int kFlashImageNotCreated = -3;

constexpr const char* kFlashImageName = "flash.bin";

// With writeFlashImage on: opens "flash.bin" when it has exactly 524288
// bytes, keeping its contents; otherwise creates it all 0xFF. When it cannot
// be created, switches writeFlashImage off so the run goes on without it.
// Returns: 0, or kFlashImageNotCreated.
int openFlashImage(RunSettings& settings);

// With writeFlashImage on: writes the 8192 block bytes into the slot of
// bank. A bank above 0x3F has no slot; it is reported and nothing is written.
// Returns: 0.
int writeFlashSlot(const RunSettings& settings, int bank, const uint8_t* block);
