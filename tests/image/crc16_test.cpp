// CRC-16: published values and the bit-by-bit definition.
#include <gtest/gtest.h>

#include <random>

#include "image/crc16.h"
#include "support/test_support.h"

namespace {

uint16_t crcOf(const Bytes& data) { return crc16Block(data.data(), static_cast<uint16_t>(data.size())); }

// The definition: shift each data bit in at the bottom, fold bit 15 back.
uint16_t bitwiseRemainder(const Bytes& data) {
    uint16_t reg = 0;
    for (uint8_t byte : data) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool feedback = (reg & 0x8000) != 0;
            reg = static_cast<uint16_t>((reg << 1) | ((byte >> bit) & 1));
            if (feedback) reg ^= 0x8005;
        }
    }
    return reg;
}

}  // namespace

TEST(Crc16, PublishedValuesAndTheDefinition) {
    EXPECT_EQ(crcOf(text("123456789")), 0xD52E);
    EXPECT_EQ(crcOf(concat({text("123456789"), {0, 0}})), 0xFEE8);  // augmented: the published check value
    EXPECT_EQ(crcOf(text("abc")), 0xE326);
    EXPECT_EQ(crcOf({0x01}), 0x0001);
    EXPECT_EQ(crcOf({}), 0x0000);
    EXPECT_EQ(crcOf(Bytes(8192, 0xFF)), 0x0003);
    std::mt19937 random(12345);
    for (std::size_t length : {2u, 3u, 9u, 10u, 17u, 8192u, 65535u}) {
        Bytes data(length);
        for (auto& byte : data) byte = static_cast<uint8_t>(random());
        EXPECT_EQ(crcOf(data), bitwiseRemainder(data)) << length;
    }
}
