// One catalogue entry: a known 8 KB block's CRC-16, its banks and its ROM name.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

constexpr int kBankCount = 64;        // banks 0x00..0x3F of the flash
constexpr int kMaxNameLength = 80;    // ROM name characters kept after trimming

struct CatalogueEntry {
    CatalogueEntry* next = nullptr;             // list link, owned by the catalogue
    uint16_t crc = 0;
    std::array<uint8_t, kBankCount> banks{};    // banks[i] is 1 when bank i gets the block
    std::unique_ptr<char[]> name;               // trimmed ROM name, at most 80 characters
};
