// Bank loader files "&flashbankXX.prg" and the flasher program "fcFlash.prg".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/files.h"
#include "base/flash_geometry.h"
#include "output/loader_records.h"

enum class LoadStatus {
    Ok = 0,
    NotLoaded = -3,  // not there, or too large
    ReadError = -4,  // also: an empty file
    TooShort = -5,   // a flasher program without its whole load address
};

enum class BankFileStatus {
    Written = 0,
    NotCreated = -3,
    CutShort = -4,  // begun, but not every byte reached it: the old file stays
};

constexpr const char* kFlasherName = "fcFlash.prg";

// The largest bank loader file: the records of the largest flasher's body
// with its bank byte, then those of the block.
constexpr std::size_t kMaxBankLoaderFileSize =
    loaderRecordsSize(kFlasherCapacity - kLoadAddressSize + 1) + loaderRecordsSize(kBlockSize);
static_assert(kMaxBankLoaderFileSize == 9359, "4 records of flasher, 32 of block");

// Returns: the name of the bank loader file of bank: "&flashbank0b.prg".
std::string bankLoaderFileName(int bank);

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
// Returns: Ok with size set, or NotLoaded or ReadError, each after its message.
LoadStatus loadWholeFile(int32_t verbosity, uint8_t* buffer, std::size_t capacity, int32_t& size, const char* path);

// Loads "fcFlash.prg", which must hold at least its load address.
// Returns: as loadWholeFile, or TooShort after its message.
LoadStatus loadFlasherProgram(int32_t verbosity, Flasher& flasher);

// A bank loader file on its way: written by writeBankLoaderFile, put in
// place by commitBankLoaderFile.
struct BankLoaderFile {
    std::array<char, kMaxBankLoaderFileSize> buffer;  // the stream's, so the whole file goes out in one write
    ReplacedFile file;                                // closed before its buffer goes
    char name[32] = "";
};

// Writes "&flashbankXX.prg" for bank to a temporary file beside it (never
// one of spared): the flasher's records with the bank number as their last
// byte, then the block's records at 0x4000. The flasher is loaded (at least
// its load address) before any block is read.
// Returns: Written, or NotCreated after its message.
BankFileStatus writeBankLoaderFile(int32_t verbosity, Flasher& flasher, const SparedFiles& spared, int bank,
    const uint8_t* blockBuffer, BankLoaderFile& out);

// Puts the file written in place of the earlier one: whole, or not at all
// when a byte did not reach it (a full disk), for a cut file must never
// reach the drive.
// Returns: Written, or CutShort after its message.
BankFileStatus commitBankLoaderFile(BankLoaderFile& out);
