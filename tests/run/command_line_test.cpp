// The command line's number conversions: -sbXX and -vN.
#include <gtest/gtest.h>

#include <climits>

#include "run/command_line.h"

TEST(CommandLine, BankBytes) {
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
