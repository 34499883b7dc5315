// End to end: whole runs of the built tool, compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "support/crc_forge.h"
#include "output/loader_decoder.h"
#include "support/run_binary.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const Bytes kFlasher{0x00, 0x03, 0xAA, 0xBB};
const std::string kBanner = "##### Quillmore Flash Tool #####\n";
const std::string kNewCatalogue =
    "====== reading CRC file ======\nmissing CRC file ...\n====== creating default CRC file ======\n";

// Blocks whose CRC-16 the default catalogue knows, and one it does not.
const Bytes kSpeedDos = forgedBlock(0xD3DA, 1);   // banks 0B and 18
const Bytes kQuickDos = forgedBlock(0x40E2, 2);   // bank 24
const Bytes kImprLorom = forgedBlock(0xF071, 3);  // banks 00 and 21
const Bytes kUnknown = forgedBlock(0x1A2B, 4);
const Bytes kBlank(8192, 0xFF);

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::string bankFile(int bank) {
    char name[32];
    std::snprintf(name, sizeof name, "&flashbank%02x.prg", bank);
    return name;
}

std::string toBank(int bank) {
    char text[96];
    std::snprintf(text, sizeof text, "====== open file for output ======\nfile: &flashbank%02x.prg\nbank: %02x\n", bank,
                  bank);
    return text;
}

// The bank loader file, read back as the drive would: the flasher's body
// with the bank byte at the flasher's address, then the block at 0x4000.
void expectBankFile(int bank, const Bytes& block) {
    SCOPED_TRACE(bankFile(bank));
    const Bytes file = readBytes(bankFile(bank));
    EXPECT_EQ(file.size(), 7u + 8320u);
    const DecodedRecords decoded = decodeLoaderRecords(file.data(), file.size());
    ASSERT_EQ(decoded.fault, kDecodeOk);
    ASSERT_EQ(decoded.streams.size(), 2u);
    EXPECT_EQ(decoded.streams[0].start, 0x0300);
    EXPECT_EQ(decoded.streams[0].payload, (Bytes{0xAA, 0xBB, static_cast<uint8_t>(bank)}));
    EXPECT_EQ(decoded.streams[1].start, 0x4000);
    EXPECT_EQ(decoded.streams[1].payload, block);
}

Bytes imageWith(const std::map<int, Bytes>& slots) {
    Bytes image(524288, 0xFF);
    for (const auto& [bank, block] : slots) std::copy(block.begin(), block.end(), image.begin() + bank * 8192);
    return image;
}

class Run : public ::testing::Test {
protected:
    void SetUp() override { writeBytes("fcFlash.prg", kFlasher); }
    ScratchDir dir_;
};

}  // namespace

TEST_F(Run, RoadOfOneBlock) {
    writeBytes("DD2.bin", concat({kSpeedDos, kBlank}));
    const RunResult run = runFlashtool({"DD2.bin", "-t"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, kBanner + kNewCatalogue +
                           "creating file FLASH.BIN ok.\n"
                           "====== open file for input ======\nfile: DD2.bin\nsize: 4000\n"
                           "=========================\nreading block: 00\n"
                           "ROM name: SpeedDOS 40T HIROM\n" +
                           toBank(0x0B) + toBank(0x18) +
                           "=========================\nreading block: 01\n"
                           "blank page (contain $FF only), block: 01 \n");
    EXPECT_EQ(filesHere(), (std::set<std::string>{"DD2.bin", "fcFlash.prg", "crc.ini", "flash.bin",
                                                  "&flashbank0b.prg", "&flashbank18.prg"}));
    expectBankFile(0x0B, kSpeedDos);
    expectBankFile(0x18, kSpeedDos);
    EXPECT_EQ(readBytes("flash.bin"), imageWith({{0x0B, kSpeedDos}, {0x18, kSpeedDos}}));
    EXPECT_EQ(readText("crc.ini").size(), 877u) << "the default catalogue, 32 lines";
}

TEST_F(Run, SecondImageRunKeepsTheFirstRunsSlots) {
    writeBytes("one.bin", kSpeedDos);
    writeBytes("two.bin", kQuickDos);
    ASSERT_EQ(runFlashtool({"one.bin", "-t", "-v0"}).status, 0);
    const RunResult second = runFlashtool({"two.bin", "-t"});
    EXPECT_EQ(second.status, 0);
    EXPECT_NE(second.out.find("opening file FLASH.BIN ok.\n"), std::string::npos);
    EXPECT_EQ(readBytes("flash.bin"), imageWith({{0x0B, kSpeedDos}, {0x18, kSpeedDos}, {0x24, kQuickDos}}));
}

TEST_F(Run, AllBanksModeTakesTheNumberedFilesThatExist) {
    writeBytes("memFlashBank_00.bin", kQuickDos);
    writeBytes("memFlashBank_05.bin", kUnknown);
    writeBytes("memFlashBank_22.bin", concat({{0x00, 0x80}, kImprLorom}));
    writeBytes("memFlashBank_23.bin", kSpeedDos);  // past the last number: never read
    writeBytes("rom.bin", kSpeedDos);              // after "-a": never a ROM file
    for (const char* first : {"-a", "-x"}) {
        const RunResult run = runFlashtool({first, "rom.bin", "-v0"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, kBanner + "size: 2002\n") << first;
        EXPECT_EQ(run.err, "** unknown block: 00 ...  (CRC-16:1a2b)\n");
        std::set<std::string> expected{"fcFlash.prg", "crc.ini", "rom.bin", "memFlashBank_00.bin",
                                       "memFlashBank_05.bin", "memFlashBank_22.bin", "memFlashBank_23.bin",
                                       bankFile(0x24), bankFile(0x00), bankFile(0x21)};
        EXPECT_EQ(filesHere(), expected) << first;
        expectBankFile(0x24, kQuickDos);
        expectBankFile(0x00, kImprLorom);
        expectBankFile(0x21, kImprLorom);
    }
}

TEST_F(Run, FileListStopsAtTheFirstOption) {
    writeBytes("rom1.bin", kQuickDos);
    writeBytes("rom2.bin", kSpeedDos);
    const RunResult run = runFlashtool({"rom1.bin", "-b", "rom2.bin", "-v0"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(readBytes("block00.bin"), kQuickDos) << "-b is in force for rom1.bin";
    EXPECT_TRUE(fs::exists(bankFile(0x24)));
    EXPECT_FALSE(fs::exists(bankFile(0x0B))) << "rom2.bin is never processed";
}

TEST_F(Run, FileListStopsAtTheFirstFailingFile) {
    writeBytes("good.bin", kQuickDos);
    writeBytes("bad.bin", Bytes(8193, 0x00));
    for (const char* bad : {"bad.bin", "missing.bin"}) {
        const RunResult run = runFlashtool({"good.bin", bad, "good.bin", "-t", "-v0"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, std::string(bad) == "bad.bin" ? "** File Size must be 2000 Bytes (or a multiple) ...\n"
                                                         : "** cannot open file: missing.bin");
        // The first file's outputs stay; the image is still closed properly.
        expectBankFile(0x24, kQuickDos);
        EXPECT_EQ(readBytes("flash.bin"), imageWith({{0x24, kQuickDos}}));
    }
}

TEST_F(Run, ForcedBankWithoutASlotKeepsTheImage) {
    writeBytes("rom.bin", kUnknown);
    RunResult run = runFlashtool({"rom.bin", "-sb05", "-t"});
    EXPECT_EQ(run.err, "");
    run = runFlashtool({"rom.bin", "-sb40", "-t"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "** bank 40 has no slot in flash.bin\n");
    expectBankFile(0x05, kUnknown);
    expectBankFile(0x40, kUnknown);
    EXPECT_EQ(readBytes("flash.bin"), imageWith({{0x05, kUnknown}})) << "the image neither grows nor is lost";
}

TEST_F(Run, WritesThatFailAreReportedNotPassedOver) {
    // A full disk, played by /dev/full where the system has one.
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    writeBytes("rom.bin", kQuickDos);
    for (const char* name : {"&flashbank24.prg", "block00.bin", "flash.bin"}) {
        fs::create_symlink("/dev/full", name);
    }
    const RunResult run = runFlashtool({"rom.bin", "-b", "-t", "-v0"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "** error writing file: rc=0\n"          // creating the 512 KB image
              "** error writing file: block00.bin\n"
              "** error writing file: rc=0\n"          // the image slot
              "** error writing file: &flashbank24.prg\n");
}
