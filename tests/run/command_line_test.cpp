// The -vN conversion, exactly 32 bits whatever the width of long (-sbXX is checked end to end).
#include "run/command_line.h"

#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <string>

TEST(CommandLine, VerbosityIsA32BitUnsignedConversion) {
    const std::map<std::string, int32_t> cases{{"2", 2}, {"", 0}, {"x", 0}, {"-1", -1}, {"+7", 7}, {"12abc", 12},
        {" \t\n\v\f\r3", 3}, {"- 3", 0}, {"2147483647", 2147483647}, {"2147483648", INT32_MIN}, {"4294967295", -1},
        {"4294967296", -1}, {"-4294967295", 1}, {"-4294967296", -1}, {"184467440737095516160", -1}};
    for (const auto& [text, value] : cases) EXPECT_EQ(parseVerbosityValue(text.c_str()), value) << text;
}
