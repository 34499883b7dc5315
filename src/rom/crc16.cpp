// CRC-16 of a block.
//
// The usual table-driven CRC computes the remainder of the data followed by
// two zero bytes ("augmented"). For data M' followed by the bytes a, b, the
// plain remainder is that augmented CRC of M' XOR (a << 8 | b), because a and
// b shifted in at the bottom are already smaller than the polynomial. So the
// fast augmented CRC runs over all but the last two bytes, which are then
// folded in directly.
#include "rom/crc16.h"

#include <array>

namespace {

constexpr uint16_t kPolynomial = 0x8005;
constexpr int kSlices = 8;

using Crc16Tables = std::array<std::array<uint16_t, 256>, kSlices>;

// Table k holds the augmented CRC of one byte followed by k zero bytes.
constexpr Crc16Tables makeTables() {
    Crc16Tables tables{};
    for (int i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ kPolynomial : crc << 1);
        }
        tables[0][i] = crc;
    }
    for (int k = 1; k < kSlices; ++k) {
        for (int i = 0; i < 256; ++i) {
            const uint16_t previous = tables[k - 1][i];
            tables[k][i] = static_cast<uint16_t>((previous << 8) ^ tables[0][previous >> 8]);
        }
    }
    return tables;
}

constexpr Crc16Tables kTables = makeTables();

uint16_t augmentedCrc(const uint8_t* data, uint32_t length) {
    uint16_t crc = 0;
    for (; length >= kSlices; length -= kSlices, data += kSlices) {
        crc = static_cast<uint16_t>(kTables[7][(crc >> 8) ^ data[0]] ^ kTables[6][(crc & 0xFF) ^ data[1]] ^
                                    kTables[5][data[2]] ^ kTables[4][data[3]] ^ kTables[3][data[4]] ^
                                    kTables[2][data[5]] ^ kTables[1][data[6]] ^ kTables[0][data[7]]);
    }
    for (; length > 0; --length, ++data) {
        crc = static_cast<uint16_t>((crc << 8) ^ kTables[0][(crc >> 8) ^ *data]);
    }
    return crc;
}

}  // namespace

uint16_t crc16Block(const uint8_t* data, uint16_t length) {
    if (length == 0) return 0;
    if (length == 1) return data[0];
    const uint32_t head = length - 2u;
    return static_cast<uint16_t>(augmentedCrc(data, head) ^ (data[head] << 8) ^ data[head + 1]);
}
