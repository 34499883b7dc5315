// Command line: hex byte, -vN conversion, option scan, usage and channels.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "run/command_line.h"
#include "run/console.h"
#include "run/hex_digit.h"
#include "support/test_support.h"

TEST(HexDigit, AcceptsExactlyTheHexadecimalDigits) {
    const std::string digits = "0123456789abcdefABCDEF";
    for (int c = CHAR_MIN; c <= CHAR_MAX; ++c) {
        const char ch = static_cast<char>(c);
        const std::size_t at = digits.find(ch);
        const int expected = (ch == '\0' || at == std::string::npos) ? -1 : (at < 16 ? static_cast<int>(at) : static_cast<int>(at) - 6);
        EXPECT_EQ(hexDigitValue(ch), expected) << "character " << c;
    }
}

TEST(ParseHexByte, ReadsTwoDigitsAndIgnoresTheRest) {
    const struct { const char* text; int expected; } cases[] = {
        {"00", 0x00}, {"3f", 0x3F}, {"FF", 0xFF}, {"0bxyz", 0x0B}, {"5", -1},
        {"", -1}, {"ZZ", -1}, {"g0", -1}, {"0g", -1}, {" 5", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(parseHexByte(c.text), c.expected) << c.text;
}

TEST(ParseVerbosityValue, BehavesAsA32BitUnsignedConversion) {
    const struct { const char* text; int32_t expected; } cases[] = {
        {"2", 2}, {"0", 0}, {"", 0}, {"x", 0}, {"-", 0}, {"+", 0}, {"b", 0},
        {"-1", -1}, {"+7", 7}, {"12abc", 12}, {" \t\n\v\f\r3", 3}, {"- 3", 0}, {"--3", 0},
        {"2147483647", 2147483647}, {"2147483648", INT32_MIN}, {"4294967295", -1},
        {"4294967296", -1}, {"99999999999", -1}, {"-4294967295", 1}, {"-4294967296", -1},
        {"-2147483648", INT32_MIN}, {"000000000000000000000005", 5},
        {"184467440737095516160", -1},  // far beyond 64 bits still saturates
    };
    for (const auto& c : cases) EXPECT_EQ(parseVerbosityValue(c.text), c.expected) << c.text;
}

namespace {

struct OptionCase {
    std::vector<const char*> args;  // after the program name
    int status;
    int32_t verbosity;
    int32_t forcedBank;
    bool blockFiles;
    bool flashImage;
};

}  // namespace

TEST(ApplyOptions, PrefixTestsInOrderFromArgumentTwo) {
    const OptionCase cases[] = {
        {{"-v3"}, kOptionsOk, 1, -1, false, false},                 // argument 1 is never an option
        {{"rom", "-v2", "-v0"}, kOptionsOk, 0, -1, false, false},   // the later one wins
        {{"rom", "-vx"}, kOptionsOk, 0, -1, false, false},
        {{"rom", "-vb"}, kOptionsOk, 0, -1, false, false},          // "v" is tested before "b"
        {{"rom", "-bx", "-t"}, kOptionsOk, 1, -1, true, true},
        {{"rom", "-sb3f"}, kOptionsOk, 1, 0x3F, false, false},
        {{"rom", "-sbFF"}, kOptionsOk, 1, 0xFF, false, false},
        {{"rom", "-sb0bxyz", "-sb01"}, kOptionsOk, 1, 0x01, false, false},
        {{"rom", "-V2", "-T", "-SB05", "-a", "-oout", "-", "-s"}, kOptionsOk, 1, -1, false, false},
        {{"rom", "-o", "out.prg", "t", "v5"}, kOptionsOk, 1, -1, false, false},
        {{"rom", "-t", "-v3", "-b"}, kOptionsOk, 3, -1, true, true},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"quillmore-flashtool"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        RunSettings settings;
        CapturedConsole console;
        EXPECT_EQ(applyOptions(settings, static_cast<int>(argv.size()), argv.data()), c.status);
        const std::string label = argv.size() > 2 ? argv[2] : argv[1];
        EXPECT_EQ(settings.verbosity, c.verbosity) << label;
        EXPECT_EQ(settings.forcedBank, c.forcedBank) << label;
        EXPECT_EQ(settings.writeBlockFiles, c.blockFiles) << label;
        EXPECT_EQ(settings.writeFlashImage, c.flashImage) << label;
        EXPECT_EQ(console.progress() + console.errors(), "") << label;
    }
}

TEST(ApplyOptions, BadSetBankStopsTheScanWithItsMessage) {
    for (const char* bad : {"-sbZZ", "-sb", "-sb5"}) {
        const char* argv[] = {"quillmore-flashtool", "rom", bad, "-t"};
        RunSettings settings;
        CapturedConsole console;
        EXPECT_EQ(applyOptions(settings, 4, argv), kBadBankOption) << bad;
        EXPECT_FALSE(settings.writeFlashImage) << "options after the bad one are not applied";
        EXPECT_EQ(console.errors(), "** option 'set bank' need a hex byte argument ...\n");
        EXPECT_EQ(console.progress(), "");
    }
}

TEST(Console, ProgressIsGatedPerLevelAndErrorsAreNot) {
    const std::string allLevels[] = {"always\n", "always\n", "always\n1\n", "always\n1\n2\n", "always\n1\n2\n3\n"};
    for (int32_t verbosity : {-1, 0, 1, 2, 3}) {
        RunSettings settings;
        settings.verbosity = verbosity;
        CapturedConsole console;
        progressAlways("always\n");
        for (int level = 1; level <= 3; ++level) progress(settings, level, "%d\n", level);
        reportError("** a");
        reportError("** b\n");
        EXPECT_EQ(console.progress(), allLevels[verbosity + 1]) << verbosity;
        EXPECT_EQ(console.errors(), "** a** b\n");
    }
}

