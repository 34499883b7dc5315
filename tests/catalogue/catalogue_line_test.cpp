// Catalogue lines: every status, the fields' limits, and what counts as a blank.
#include "catalogue/catalogue_line.h"

#include <gtest/gtest.h>
#include <string>

#include "catalogue/catalogue.h"
#include "inspect/display_text.h"

namespace {

// Returns: "rc=N" for a line without an entry, else "crc banks...|name".
std::string parsed(std::string line) {
    CatalogueEntry entry;
    const LineStatus status = parseCatalogueLine(0, &line[0], entry);
    if (status != LineStatus::Entry) return "rc=" + std::to_string(static_cast<int>(status));
    std::string result = hexText(entry.crc, 4);
    for (int bank = firstBank(&entry); bank != kNoBank; bank = nextBank(&entry, bank))
        result += " " + hexText(static_cast<unsigned>(bank), 2);
    return result + "|" + entry.name;
}

}  // namespace

TEST(CatalogueLine, Statuses) {
    const std::string n79(79, 'n');
    const std::vector<std::pair<std::string, std::string>> cases{
        {"40e2; 24;    QuickDOS HIROM", "40e2 24|QuickDOS HIROM"},
        {"d3da; 0B,18; SpeedDOS 40T HIROM", "d3da 0b 18|SpeedDOS 40T HIROM"}, {"  # comment", "rc=1"},
        {"; comment", "rc=1"}, {"", "rc=1"}, {" \t\r\n", "rc=1"}, {"\x80\xff# high bytes are blanks", "rc=1"},
        {"40e2 24 name", "rc=-2"}, {"40e2; 24 name", "rc=-2"}, {std::string("1234\0; 01; n", 12), "rc=-2"},
        {"xyz; 01; n", "rc=-3"}, {"4 0e; 01; n", "rc=-3"},
        {"\x7f"
         "40e; 01; n",
            "rc=-3"},
        {"0040e2; 01; n", "0040 01|n"}, {"40e2x; 01; n", "40e2 01|n"}, {"1234; 40; n", "rc=-4"}, {"1234; ; n", "rc=-4"},
        {"1234; 01,,02; n", "rc=-4"}, {"1234; ,01; n", "rc=-4"}, {"1234; 01 x; n", "rc=-4"},
        {"1234; 0B,; n", "1234 0b|n"}, {"1234; 01 02; a;b", "1234 01 02|a;b"}, {"1234; 3f, 3F ,10,; n", "1234 10 3f|n"},
        {"1234; 01;", "1234 01|"}, {"1234; 100000001; n", "1234 01|n"},
        {"1234; 01" + std::string(98, ' ') + "02; n", "1234 01|n"},  // the bank field is cut to 80 characters
        {"1234; 01; " + n79 + "nnnn", "1234 01|" + n79 + "n"}, {"1234; 01; " + n79 + "  tail", "1234 01|" + n79},
        {"1234; 01; ROM \x80\xfe\xff", "1234 01|ROM"}, {"1234; 01; ROM \x7f", "1234 01|ROM \x7f"},
        {"abcd; 02; CRLF name\r\n", "abcd 02|CRLF name"}, {std::string("1234; 01; na\0me", 15), "1234 01|na"}};
    for (const auto& [line, result] : cases) EXPECT_EQ(parsed(line), result) << line;
}

TEST(CatalogueLine, ABankListIsReadFromScratch) {
    std::array<uint8_t, kBankCount> banks{};
    banks.fill(1);
    ASSERT_EQ(parseBankList(0, "05", banks), BanksStatus::Ok);
    for (std::size_t bank = 0; bank < kBankCount; ++bank) EXPECT_EQ(banks[bank], bank == 5 ? 1 : 0) << bank;
}
