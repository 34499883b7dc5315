// The flash image "flash.bin": one 8 KB slot per bank, kept between runs.
#pragma once

#include <cstdint>

#include "base/files.h"

constexpr int kFlashImageOk = 0;
constexpr int kFlashImageNotCreated = -3;

constexpr const char* kFlashImageName = "flash.bin";

// The image while a run keeps it; it is on exactly while its stream is open.
struct FlashImage {
    FilePtr stream;
};

inline bool isOn(const FlashImage& image) { return image.stream != nullptr; }

// Opens "flash.bin" when it has exactly 524288 bytes, keeping its contents;
// otherwise creates it all 0xFF. When it cannot be created the image stays
// off, and the run goes on without it.
// Returns: kFlashImageOk, or kFlashImageNotCreated.
int openFlashImage(int32_t verbosity, FlashImage& image);

// While the image is on, writes the 8192 block bytes into the slot of bank.
// A bank above 0x3F has no slot; it is reported and nothing is written.
// Returns: kFlashImageOk.
int writeFlashSlot(int32_t verbosity, FlashImage& image, int bank, const uint8_t* block);

// Closes the image; it is off afterwards.
void closeFlashImage(FlashImage& image);
