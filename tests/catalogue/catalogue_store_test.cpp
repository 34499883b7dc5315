// Catalogue store, "crc.ini" reader and the default catalogue file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue_line.h"
#include "catalogue/catalogue_store.h"
#include "support/test_support.h"

namespace {

std::unique_ptr<CatalogueEntry> entryFrom(const std::string& line) {
    RunSettings settings;
    std::string buffer = line;
    std::unique_ptr<CatalogueEntry> entry;
    EXPECT_EQ(parseCatalogueLine(settings, &buffer[0], entry), 0) << line;
    return entry;
}

int entryCount(const Catalogue& catalogue) {
    int count = 0;
    for (const CatalogueEntry* e = catalogue.head; e != nullptr; e = e->next) ++count;
    return count;
}

const char* const kDefaultFile =
    "#\n# CRC file for Quillmore\n#\n"
    "f071; 00,21; Impr. LOROM Orig\na930; 01;    Impr. HIROM Orig\n1741; 02,20; ProfDOS GCR\n"
    "fa72; 03,22; ProfDOS HIROM\na7af; 04;    SpeedDOS expert\n15ec; 05,1d; DolphinDOS Ext\n"
    "2f60; 06,1e; DolphinDOS LOROM\n28e3; 07,1f; DolphinDOS HIROM\n713c; 08;    SpeedDOS 35t LOROM\n"
    "9594; 09;    SpeedDOS 35t HIROM\n360a; 0A;    SpeedDOS 40T LOROM\nd3da; 0B,18; SpeedDOS 40T HIROM\n"
    "2280; 0C;    S-JiffyDOS GCR\n3a59; 0D;    S-JiffyDOS Ext\nf043; 0E;    S-JiffyDOS LOROM\n"
    "0c87; 0F;    S-JiffyDOS HIROM\n514f; 10;    JiffyDOS LOROM\necd1; 11;    JiffyDOS HIROM\n"
    "3f29; 12;    PrologicDOS Ext\n4783; 13;    PrologicDOS HIROM\nbd06; 14;    Original LOROM\n"
    "aaa5; 15;    Original HIROM\n5d61; 16;    TurboAccess 3.4\n3b6d; 17;    TurboAccess 2.8 (TT)\n"
    "1fd0; 19;    TurboAccess 2.7\nacf4; 1A;    Supercard+\n8442; 1B;    GCR HW-Decoder Page\n"
    "d26a; 23;    QuickDOS Ext\n40e2; 24;    QuickDOS HIROM\n";

}  // namespace

TEST(CatalogueStore, LaterLineWinsAndBanksAscend) {
    Catalogue catalogue;
    addEntry(catalogue, entryFrom("1111; 01; first"));
    addEntry(catalogue, entryFrom("2222; 3f,00,10; other"));
    addEntry(catalogue, entryFrom("1111; 02; second"));
    EXPECT_STREQ(findByCrc(catalogue, 0x1111)->name.get(), "second");
    EXPECT_EQ(findByCrc(catalogue, 0x3333), nullptr);

    const CatalogueEntry* entry = findByCrc(catalogue, 0x2222);
    EXPECT_EQ(firstBank(entry), 0x00);
    EXPECT_EQ(nextBank(entry, 0x00), 0x10);
    EXPECT_EQ(nextBank(entry, 0x10), 0x3F);
    EXPECT_EQ(nextBank(entry, 0x3F), kNoBank);
    EXPECT_EQ(nextBank(entry, -2), kNoBank);
    EXPECT_EQ(nextBank(entry, 63), kNoBank);
    EXPECT_EQ(nextBank(entry, 1000), kNoBank);
    EXPECT_EQ(firstBank(nullptr), kNoBank);

    clearCatalogue(catalogue);
    EXPECT_EQ(catalogue.head, nullptr);
    EXPECT_EQ(findByCrc(catalogue, 0x1111), nullptr);
}

TEST(CatalogueFile, ReadsLinePiecesReportsFaultsAndKeepsTheFile) {
    ScratchDir dir;
    const std::string longLine = "abcd; 05; " + std::string(190, 'L');  // 200 characters
    const std::string text = "# header\r\n"
                             "1111; 01; one\r\n" +
                             longLine + "\n"
                             "2222; 40; too high\n"
                             "\n"
                             "1111; 02; one again\n"
                             "bad line\n"
                             "# trailing comment";
    writeText("crc.ini", text);
    RunSettings settings;
    Catalogue catalogue;
    CapturedConsole console;
    EXPECT_EQ(loadCatalogueFile(settings, catalogue), kCatalogueOk);
    // Line 3 is the first 159 characters, line 4 the other 41 and the line feed.
    EXPECT_EQ(console.progress(),
              "====== reading CRC file ======\n"
              "error in line 4: rc=-2\n"
              "error in line 5: rc=-4\n"
              "error in line 8: rc=-2\n"
              "count of valid CRC entries: 3\n"
              "count of lines in file: 9\n");
    EXPECT_EQ(console.errors(), "value for 'bank' must less than 0x40: 40\n");
    EXPECT_EQ(entryCount(catalogue), 3);
    EXPECT_STREQ(findByCrc(catalogue, 0x1111)->name.get(), "one again");
    EXPECT_EQ(std::string(findByCrc(catalogue, 0xABCD)->name.get()), std::string(80, 'L'));
    EXPECT_EQ(readText("crc.ini"), text) << "an existing catalogue is never rewritten";
}

TEST(CatalogueFile, AnyReadableFileCountsAsLoaded) {
    // Whatever the last line is, a file that was read is the user's catalogue.
    for (const std::string& text : std::vector<std::string>{"", "\n", "# only a comment\n", "1234; 01; n\nbroken", std::string("\0\0\0", 3)}) {
        ScratchDir dir;
        writeText("crc.ini", text);
        RunSettings settings;
        Catalogue catalogue;
        addEntry(catalogue, entryFrom("9999; 01; stale"));
        CapturedConsole console;
        EXPECT_EQ(loadCatalogueFile(settings, catalogue), kCatalogueOk) << text;
        EXPECT_EQ(findByCrc(catalogue, 0x9999), nullptr) << "the catalogue is cleared first";
    }
}

TEST(DefaultCatalogue, WritesTheTableByteForByteAndLoadsIt) {
    ScratchDir dir;
    RunSettings settings;
    Catalogue catalogue;
    CapturedConsole console;
    ASSERT_EQ(writeDefaultCatalogue(settings, catalogue), kCatalogueOk);
    EXPECT_EQ(readText("crc.ini"), kDefaultFile);
    EXPECT_EQ(console.progress(), "====== creating default CRC file ======\n");
    EXPECT_EQ(entryCount(catalogue), 29);
    const CatalogueEntry* speedDos = findByCrc(catalogue, 0xD3DA);
    ASSERT_NE(speedDos, nullptr);
    EXPECT_STREQ(speedDos->name.get(), "SpeedDOS 40T HIROM");
    EXPECT_EQ(firstBank(speedDos), 0x0B);
    EXPECT_EQ(nextBank(speedDos, 0x0B), 0x18);
    EXPECT_EQ(nextBank(speedDos, 0x18), kNoBank);
}

TEST(DefaultCatalogue, AFileThatCannotBeWrittenIsReported) {
    // A full disk, played by /dev/full where the system has one.
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ScratchDir dir;
    std::filesystem::create_symlink("/dev/full", "crc.ini");
    RunSettings settings;
    Catalogue catalogue;
    CapturedConsole console;
    EXPECT_EQ(writeDefaultCatalogue(settings, catalogue), kCatalogueOk) << "the entries are in memory";
    EXPECT_EQ(entryCount(catalogue), 29);
    EXPECT_EQ(console.errors(), "** error writing file: crc.ini\n");
}
