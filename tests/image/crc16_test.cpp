// CRC-16: published values, a bit-by-bit oracle, and the block forger built on it.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "image/crc16.h"
#include "support/crc_forge.h"

namespace {

// The definition itself: shift each data bit in at the bottom, fold bit 15 back.
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

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

uint16_t crcOf(const Bytes& data) { return crc16Block(data.data(), static_cast<uint16_t>(data.size())); }

}  // namespace

TEST(Crc16Block, KnownValues) {
    const struct { Bytes data; uint16_t crc; } cases[] = {
        {text("123456789"), 0xD52E}, {text("abc"), 0xE326}, {{0x01}, 0x0001}, {{}, 0x0000},
        {Bytes(8192, 0xFF), 0x0003}, {Bytes(8192, 0x00), 0x0000},
        // Appending two zero bytes gives the usual augmented check value.
        {text(std::string("123456789") + '\0' + '\0'), 0xFEE8},
    };
    for (const auto& c : cases) EXPECT_EQ(crcOf(c.data), c.crc) << c.data.size();
}

TEST(Crc16Block, AgreesWithTheBitwiseDefinitionForEveryLengthShape) {
    std::mt19937 random(12345);
    for (std::size_t length : {1u, 2u, 3u, 7u, 8u, 9u, 10u, 15u, 16u, 17u, 255u, 8191u, 8192u, 65535u}) {
        Bytes data(length);
        for (auto& byte : data) byte = static_cast<uint8_t>(random());
        EXPECT_EQ(crcOf(data), bitwiseRemainder(data)) << length;
    }
}

TEST(CrcForge, ReachesAnyTarget) {
    for (uint16_t target : {0x0000, 0x0003, 0xD3DA, 0x40E2, 0xFFFF}) {
        const Bytes block = forgedBlock(target, 0x21);
        EXPECT_EQ(bitwiseRemainder(block), target);
        EXPECT_NE(block, Bytes(8192, 0xFF));
    }
}
