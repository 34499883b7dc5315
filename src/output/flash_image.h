// The flash image "flash.bin": one 8 KB slot per bank, kept between runs.
#pragma once

#include <cstdint>

#include "base/files.h"

constexpr int kFlashImageOk = 0;
constexpr int kFlashImageNotCreated = -3;
constexpr int kFlashImageNotWritten = -4;  // a write failed: a new image is dropped, an existing one stays
constexpr int kFlashImageNoSlot = -5;      // a bank above 0x3F

constexpr const char* kFlashImageName = "flash.bin";

// The image while a run keeps it: an existing one written in place, a new
// one in a temporary file that takes the name when the run closes it. It is
// on exactly while its stream is open.
struct FlashImage {
    ReplacedFile file;
};

inline bool isOn(const FlashImage& image) { return image.file.stream != nullptr; }

// Opens "flash.bin" when it is a regular file of exactly 524288 bytes,
// keeping its contents; otherwise starts a new one, all 0xFF, unless the name
// cannot be replaced (see beginReplace). The image stays off when it cannot
// be had, and the run goes on without it.
// Returns: kFlashImageOk, kFlashImageNotCreated or kFlashImageNotWritten.
int openFlashImage(int32_t verbosity, const SparedFiles& spared, FlashImage& image);

// While the image is on, writes the 8192 block bytes into the slot of bank,
// in one write. A bank above 0x3F has no slot: it is reported, nothing is written.
// Returns: kFlashImageOk, kFlashImageNotWritten or kFlashImageNoSlot.
int writeFlashSlot(int32_t verbosity, FlashImage& image, int bank, const uint8_t* block);

// Closes the image; a new one takes the name "flash.bin" now.
// Returns: kFlashImageOk, or kFlashImageNotWritten.
int closeFlashImage(FlashImage& image);
