// Bank loader files "&flashbankXX.prg" and the flasher program "fcFlash.prg".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/flash_geometry.h"
#include "output/flash_image.h"
#include "output/loader_records.h"

constexpr int kLoadOk = 0;
constexpr int kLoadNotFound = -3;
constexpr int kLoadTooLarge = -3;
constexpr int kLoadReadError = -4;  // also: an empty file
constexpr int kLoadTooShort = -5;   // a flasher program without its whole load address
constexpr int kBankFileWritten = 0;
constexpr int kBankFileNotCreated = -3;
constexpr int kBankFileCutShort = -4;    // begun, but not every byte reached it: the old file stays
constexpr int kBankSlotNotWritten = -5;  // the file is written, its block's image slot is not

constexpr const char* kFlasherName = "fcFlash.prg";

// The largest bank loader file: the records of the largest flasher's body
// with its bank byte, then those of the block.
constexpr std::size_t kMaxBankLoaderFileSize =
    loaderRecordsSize(kFlasherCapacity - kLoadAddressSize + 1) + loaderRecordsSize(kBlockSize);
static_assert(kMaxBankLoaderFileSize == 9359, "4 records of flasher, 32 of block");

// Returns: true when size is one a bank loader file can have: the records of
// a flasher's body with its bank byte (or none, as a one-byte flasher gave
// in earlier versions), then those of the block. No ROM file or flash image
// has such a size.
bool isBankLoaderFileSize(int64_t size);

// The flasher program as loaded, and after it the byte that carries the bank
// number into every bank loader file (so a full 1024-byte program has room for it).
struct Flasher {
    std::array<uint8_t, kFlasherCapacity + 1> buffer{};
    int32_t size = 0;
};

// Reads the whole file at path into buffer, which holds capacity bytes.
// Returns: kLoadOk with size set, or kLoadNotFound, kLoadTooLarge or
// kLoadReadError, each after its message.
int loadWholeFile(int32_t verbosity, uint8_t* buffer, std::size_t capacity, int32_t& size, const char* path);

// Loads "fcFlash.prg", which must hold at least its load address.
// Returns: as loadWholeFile, or kLoadTooShort after its message.
int loadFlasherProgram(int32_t verbosity, Flasher& flasher);

// Writes "&flashbankXX.prg" for bank, replacing it whole (never one of
// spared): the flasher's records with the bank number as their last byte,
// then the block's records at 0x4000; and the block's slot of the image.
// The flasher is loaded (at least its load address) before any block is read.
// Returns: kBankFileWritten, kBankFileNotCreated, kBankFileCutShort or kBankSlotNotWritten.
int writeBankLoaderFile(int32_t verbosity, Flasher& flasher, FlashImage& image, const SparedFiles& spared, int bank,
    const uint8_t* blockBuffer);
