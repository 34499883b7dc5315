// The flash image "flash.bin": one 8 KB slot per bank, kept between runs.
#pragma once

#include <cstdint>

#include "base/files.h"

enum class ImageStatus {
    Ok = 0,
    NotCreated = -3,
    NotWritten = -4,  // a write or the close failed
    NoSlot = -5,      // a bank above 0x3F
};

constexpr const char* kFlashImageName = "flash.bin";

// The image while a run keeps it, always written in place, one write per
// slot. It is on exactly while its stream is open.
struct FlashImage {
    FilePtr stream;
};

inline bool isOn(const FlashImage& image) { return image.stream != nullptr; }

// Opens "flash.bin" when it is a regular file of exactly 524288 bytes,
// keeping its contents; otherwise makes a blank one (all 0xFF) and names it
// "flash.bin" before any slot is written, so that runs started together
// write their slots into one image (the steps are at its definition).
// Never writes into a ROM file of the run (spared), nor replaces a
// "flash.bin" that cannot be opened for writing. The image stays off when it
// cannot be had, and the run goes on without it.
// Returns: Ok, NotCreated or NotWritten.
ImageStatus openFlashImage(int32_t verbosity, const SparedFiles& spared, FlashImage& image);

// While the image is on, writes the 8192 block bytes into the slot of bank,
// in one write. A bank above 0x3F has no slot: it is reported, nothing is written.
// Returns: Ok, NotWritten or NoSlot.
ImageStatus writeFlashSlot(int32_t verbosity, FlashImage& image, int bank, const uint8_t* block);

// Closes the image.
// Returns: Ok, or NotWritten when the close failed.
ImageStatus closeFlashImage(FlashImage& image);
