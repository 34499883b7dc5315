// Hexadecimal digits, as the command line and the catalogue read them.
#include <gtest/gtest.h>

#include "base/hex_digit.h"

TEST(HexDigit, ExactlyTheDigitsInBothCases) {
    const struct { char c; int value; } digits[] = {
        {'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15}, {'/', -1},
        {':', -1}, {'`', -1}, {'g', -1}, {'@', -1}, {'G', -1}, {'\0', -1}, {'\xC1', -1},
    };
    for (const auto& d : digits) EXPECT_EQ(hexDigitValue(d.c), d.value) << d.c;
}
