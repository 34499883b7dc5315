// The flash memory and the blocks that fill it: the sizes every file format
// of the tool shares, each derived one computed from the base ones.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

constexpr int kBlockSize = 8192;  // one bank of the flash; one block of a ROM file
constexpr int kBankCount = 64;    // banks 0x00..0x3F
constexpr long kFlashImageSize = static_cast<long>(kBlockSize) * kBankCount;  // "flash.bin": one slot per bank
static_assert(kFlashImageSize == 524288, "flash.bin is the whole 512 KB flash");

constexpr std::size_t kLoadAddressSize = 2;  // a program file starts with its load address, low byte first
constexpr std::size_t kBlockBufferSize = kLoadAddressSize + kBlockSize;  // a block with the address it loads at
constexpr uint16_t kBlockLoadAddress = 0x4000;                           // where a bank loader file puts its block

constexpr std::size_t kFlasherCapacity = 1024;  // the largest "fcFlash.prg", load address included

// Returns: true when every byte of the 8192-byte block is 0xFF, as flash
// reads where nothing was programmed: a blank block, written nowhere.
inline bool isErasedBlock(const uint8_t* block) {
    return std::all_of(block, block + kBlockSize, [](uint8_t byte) { return byte == 0xFF; });
}
