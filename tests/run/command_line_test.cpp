// The command line's number conversions: hex digits, -sbXX and -vN.
#include <gtest/gtest.h>

#include <climits>

#include "run/command_line.h"
#include "run/hex_digit.h"

TEST(CommandLine, HexDigitsAndBankBytes) {
    const struct { char c; int value; } digits[] = {
        {'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15}, {'/', -1},
        {':', -1}, {'`', -1}, {'g', -1}, {'@', -1}, {'G', -1}, {'\0', -1}, {'\xC1', -1},
    };
    for (const auto& d : digits) EXPECT_EQ(hexDigitValue(d.c), d.value) << d.c;
    const struct { const char* text; int bank; } banks[] = {
        {"3f", 0x3F}, {"FF", 0xFF}, {"0bxyz", 0x0B}, {"5", -1}, {"", -1}, {"g0", -1}, {" 5", -1},
    };
    for (const auto& b : banks) EXPECT_EQ(parseHexByte(b.text), b.bank) << b.text;
}

TEST(CommandLine, VerbosityIsA32BitUnsignedConversion) {
    const struct { const char* text; int32_t value; } cases[] = {
        {"2", 2}, {"", 0}, {"x", 0}, {"-1", -1}, {"+7", 7}, {"12abc", 12}, {" \t\n\v\f\r3", 3}, {"- 3", 0},
        {"2147483647", 2147483647}, {"2147483648", INT32_MIN}, {"4294967295", -1}, {"4294967296", -1},
        {"-4294967295", 1}, {"-4294967296", -1}, {"184467440737095516160", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(parseVerbosityValue(c.text), c.value) << c.text;
}
