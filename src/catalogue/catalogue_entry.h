// One catalogue entry: a known 8 KB block's CRC-16, its banks and its ROM name.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/flash_geometry.h"

constexpr std::size_t kMaxNameLength = 80;  // ROM name characters kept after trimming

struct CatalogueEntry {
    uint16_t crc = 0;
    std::array<uint8_t, kBankCount> banks{};  // banks[i] is 1 when bank i gets the block
    std::string name;                         // trimmed ROM name, at most 80 characters
};
