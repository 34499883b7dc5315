// Block identification: blank, known, unknown and forced blocks, with and without block files.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "catalogue/catalogue_line.h"
#include "image/block_dispatch.h"
#include "support/crc_forge.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

void addLine(Catalogue& catalogue, const char* line) {
    RunSettings settings;
    std::string buffer = line;
    std::unique_ptr<CatalogueEntry> entry;
    ASSERT_EQ(parseCatalogueLine(settings, &buffer[0], entry), 0);
    addEntry(catalogue, std::move(entry));
}

struct DispatchCase {
    const char* label;
    int forcedBank;
    bool blockFiles;
    Bytes block;
    int status;
    std::string progress;
    std::string errors;
    std::set<std::string> files;
};

}  // namespace

TEST(ClassifyBlock, Outcomes) {
    const Bytes known = forgedBlock(0xD3DA, 1);
    const Bytes unknown = forgedBlock(0x1A2B, 2);
    const Bytes blank(8192, 0xFF);
    const std::string toBank05 = "====== open file for output ======\nfile: &flashbank05.prg\nbank: 05\n";
    const std::string blankLine = "blank page (contain $FF only), block: 03 \n";
    const DispatchCase cases[] = {
        {"unknown", -1, false, unknown, kBlockUnknown, "", "** unknown block: 03 ...  (CRC-16:1a2b)\n", {}},
        {"forced", 0x05, false, unknown, kBlockSent, "bank: 05\n" + toBank05, "", {"&flashbank05.prg"}},
        {"forced blank", 0x05, false, blank, kBlockBlank, "bank: 05\n" + blankLine, "", {}},
        {"blank file", -1, true, blank, kBlockBlank, "writing block file: block03.bin\n" + blankLine, "",
         {"block03.bin"}},
        {"unknown file", -1, true, unknown, kBlockUnknown, "writing block file: block03.bin\n",
         "** unknown block: 03 ...  (CRC-16:1a2b)\n", {"block03.bin"}},
        {"forced file", 0x05, true, known, kBlockSent, "writing block file: block03.bin\nbank: 05\n" + toBank05, "",
         {"block03.bin", "&flashbank05.prg"}},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        Catalogue catalogue;
        addLine(catalogue, "d3da; 0B,18; SpeedDOS 40T HIROM");
        addLine(catalogue, "40e2; 24; QuickDOS HIROM");
        RunSettings settings;
        settings.forcedBank = c.forcedBank;
        settings.writeBlockFiles = c.blockFiles;
        settings.flasherSize = 2;
        settings.flasherBuffer[1] = 0x03;
        Bytes buffer{0xEE, 0xEE};
        buffer.insert(buffer.end(), c.block.begin(), c.block.end());
        CapturedConsole console;
        EXPECT_EQ(classifyBlock(settings, catalogue, buffer.data(), 3), c.status) << c.label;
        EXPECT_EQ(console.progress(), c.progress) << c.label;
        EXPECT_EQ(console.errors(), c.errors) << c.label;
        EXPECT_EQ(filesHere(), c.files) << c.label;
        if (c.blockFiles) {
            EXPECT_EQ(readBytes("block03.bin"), c.block) << c.label;
        }
        if (c.status == kBlockSent) {
            EXPECT_EQ(buffer[0], 0x00) << "load address 0x4000, low byte first";
            EXPECT_EQ(buffer[1], 0x40);
        }
    }
}

TEST(ClassifyBlock, UncreatableBlockFileIsReportedAndTheBlockStillGoes) {
    ScratchDir dir;
    fs::create_directory("block00.bin");
    Catalogue catalogue;
    addLine(catalogue, "40e2; 24; QuickDOS HIROM");
    RunSettings settings;
    settings.writeBlockFiles = true;
    settings.verbosity = 0;
    settings.flasherSize = 2;
    Bytes buffer(2);
    const Bytes block = forgedBlock(0x40E2, 4);
    buffer.insert(buffer.end(), block.begin(), block.end());
    CapturedConsole console;
    EXPECT_EQ(classifyBlock(settings, catalogue, buffer.data(), 0), kBlockSent);
    EXPECT_EQ(console.errors(), "** cannot open file: block00.bin");
    EXPECT_TRUE(fs::exists("&flashbank24.prg"));
}

