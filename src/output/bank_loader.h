// Bank loader files "&flashbankXX.prg" and the flasher program "fcFlash.prg".
#pragma once

#include <cstddef>
#include <cstdint>

#include "run/settings.h"

constexpr int kLoadOk = 0;
constexpr int kLoadNotFound = -3;      // also: larger than the capacity
constexpr int kLoadReadError = -4;     // also: empty
constexpr int kBankFileNotCreated = -3;

constexpr const char* kFlasherName = "fcFlash.prg";
constexpr std::size_t kBlockBufferSize = 2 + 8192;   // load address, then the block
constexpr uint16_t kBlockLoadAddress = 0x4000;

// Reads the whole file at path into buffer, which holds capacity bytes.
// Returns: kLoadOk with size set, kLoadNotFound (missing or too large) or
// kLoadReadError (empty or unreadable), each after its message.
int loadWholeFile(const RunSettings& settings, uint8_t* buffer, std::size_t capacity, int32_t& size, const char* path);

// Loads "fcFlash.prg" into settings.flasherBuffer and flasherSize.
// Returns: as loadWholeFile.
int loadFlasherProgram(RunSettings& settings);

// Writes "&flashbankXX.prg" for bank: the flasher's records with the bank
// number as their last byte, then the block's records at 0x4000; then the
// block's flash image slot. Does nothing while no flasher is loaded.
// Returns: 0, or kBankFileNotCreated.
int writeBankLoaderFile(RunSettings& settings, int bank, const uint8_t* blockBuffer);
