// Catalogue line parser: statuses, fields, blanks and limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue_line.h"
#include "support/test_support.h"

namespace {

struct LineCase {
    std::string line;
    int status;
    uint16_t crc;
    std::vector<int> banks;
    std::string name;
    std::string errors;  // what the error channel shows at verbosity 1
};

std::vector<int> banksOf(const CatalogueEntry& entry) {
    std::vector<int> banks;
    for (int i = 0; i < kBankCount; ++i)
        if (entry.banks[i] != 0) banks.push_back(i);
    return banks;
}

}  // namespace

TEST(ParseCatalogueLine, StatusTable) {
    const std::string name100(100, 'n');
    const std::string bankList100 = "01" + std::string(98, ' ') + "02";
    const LineCase cases[] = {
        {"40e2; 24;    QuickDOS HIROM", 0, 0x40E2, {0x24}, "QuickDOS HIROM", ""},
        {"d3da; 0B,18; SpeedDOS 40T HIROM", 0, 0xD3DA, {0x0B, 0x18}, "SpeedDOS 40T HIROM", ""},
        {"  # comment", 1, 0, {}, "", ""},
        {"; comment", 1, 0, {}, "", ""},
        {"", 1, 0, {}, "", ""},
        {" \t \r\n", 1, 0, {}, "", ""},
        {"\x80\xff# high bytes are blanks", 1, 0, {}, "", ""},
        {"40e2 24 name", -2, 0, {}, "", ""},
        {"40e2; 24 name", -2, 0, {}, "", ""},
        {"xyz; 01; n", -3, 0, {}, "", ""},
        {"4 0e; 01; n", -3, 0, {}, "", ""},
        {"\x7f" "40e; 01; n", -3, 0, {}, "", ""},  // 0x7F is not a blank
        {"0040e2; 01; n", 0, 0x0040, {0x01}, "n", ""},
        {"40e2x; 01; n", 0, 0x40E2, {0x01}, "n", ""},
        {"1234; 40; n", -4, 0, {}, "", "value for 'bank' must less than 0x40: 40\n"},
        {"1234; 01 ff; n", -4, 0, {}, "", "value for 'bank' must less than 0x40: ff\n"},
        {"1234; ; n", -4, 0, {}, "", ""},
        {"1234; 01,,02; n", -4, 0, {}, "", ""},
        {"1234; ,01; n", -4, 0, {}, "", ""},
        {"1234; 01 x; n", -4, 0, {}, "", ""},
        {"1234; 0B,; n", 0, 0x1234, {0x0B}, "n", ""},
        {"1234; 01 02; a;b", 0, 0x1234, {0x01, 0x02}, "a;b", ""},
        {"1234; 3f, 3F ,10,; n", 0, 0x1234, {0x10, 0x3F}, "n", ""},
        {"1234; 01;", 0, 0x1234, {0x01}, "", ""},
        {"1234; 100000001; n", 0, 0x1234, {0x01}, "n", ""},
        {"1234; 01; " + name100, 0, 0x1234, {0x01}, std::string(80, 'n'), ""},
        {"1234; 01; " + std::string(79, 'n') + "  tail", 0, 0x1234, {0x01}, std::string(79, 'n'), ""},
        {"1234; 01; ROM \x80\xfe\xff", 0, 0x1234, {0x01}, "ROM", ""},
        {"1234; 01; ROM \x7f", 0, 0x1234, {0x01}, "ROM \x7f", ""},
        {"abcd; 02; CRLF name\r\n", 0, 0xABCD, {0x02}, "CRLF name", ""},
        {"1234; " + bankList100 + "; n", 0, 0x1234, {0x01}, "n", ""},  // bank field cut to 80
    };
    for (const auto& c : cases) {
        RunSettings settings;
        CapturedConsole console;
        std::string buffer = c.line;
        std::unique_ptr<CatalogueEntry> entry;
        ASSERT_EQ(parseCatalogueLine(settings, &buffer[0], entry), c.status) << c.line;
        EXPECT_EQ(console.errors(), c.errors) << c.line;
        EXPECT_EQ(console.progress(), "");
        if (c.status != 0) {
            EXPECT_EQ(entry, nullptr) << c.line;
            continue;
        }
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->crc, c.crc) << c.line;
        EXPECT_EQ(banksOf(*entry), c.banks) << c.line;
        EXPECT_EQ(std::string(entry->name.get()), c.name) << c.line;
        EXPECT_EQ(entry->next, nullptr);
    }
}

TEST(ParseCatalogueLine, NulByteEndsTheLine) {
    RunSettings settings;
    std::string buffer("1234; 01; na\0me; more", 22);
    std::unique_ptr<CatalogueEntry> entry;
    ASSERT_EQ(parseCatalogueLine(settings, &buffer[0], entry), 0);
    EXPECT_STREQ(entry->name.get(), "na");
    std::string cut("1234\0; 01; n", 12);
    EXPECT_EQ(parseCatalogueLine(settings, &cut[0], entry), -2);
}

TEST(ParseCatalogueLine, BankRangeMessageIsSilentBelowVerbosityOne) {
    RunSettings settings;
    settings.verbosity = 0;
    CapturedConsole console;
    std::string buffer = "1234; 40; n";
    std::unique_ptr<CatalogueEntry> entry;
    EXPECT_EQ(parseCatalogueLine(settings, &buffer[0], entry), -4);
    EXPECT_EQ(console.errors(), "");
}

TEST(ParseHexRun, LeavesTheCursorAfterTrailingBlanks) {
    const struct { const char* text; int count; uint32_t value; char rest; } runs[] = {
        {"  1aF  ,x", 3, 0x1AF, ','}, {"", 0, 0, '\0'}, {"  x", 0, 0, 'x'},
        {"123456789", 9, 0x23456789, '\0'}, {"\x85" "ff\xa0", 2, 0xFF, '\0'},
    };
    for (const auto& r : runs) {
        const char* cursor = r.text;
        uint32_t value = 99;
        EXPECT_EQ(parseHexRun(cursor, value), r.count) << r.text;
        EXPECT_EQ(value, r.value) << r.text;
        EXPECT_EQ(*cursor, r.rest) << r.text;
    }
}

