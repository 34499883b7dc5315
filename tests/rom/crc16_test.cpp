// CRC-16: published values, and remainders worked out bit by bit from the
// definition for lengths that take every path of the sliced computation.
#include "rom/crc16.h"

#include <gtest/gtest.h>
#include <map>

#include "support/test_support.h"

TEST(Crc16, PublishedAndBitwiseValues) {
    const auto crcOf = [](const Bytes& data) { return crc16Block(data.data(), static_cast<uint16_t>(data.size())); };
    EXPECT_EQ(crcOf(text("123456789")), 0xD52E);
    EXPECT_EQ(crcOf({0x01}), 0x0001);
    EXPECT_EQ(crcOf({}), 0x0000);
    EXPECT_EQ(crcOf(Bytes(8192, 0xFF)), 0x0003);
    const std::map<std::size_t, uint16_t> patterned{
        {2, 0x0007}, {3, 0x070E}, {9, 0x94A4}, {10, 0x2744}, {17, 0x8816}, {8192, 0xC54E}, {65535, 0x7485}};
    for (const auto& [length, crc] : patterned) {
        Bytes data(length);
        for (std::size_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
        EXPECT_EQ(crcOf(data), crc) << length;
    }
}
