// quillmore-flashinfo on files quillmore-flashtool wrote: the report, the
// exit statuses, and every damage caught at the right offset.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "inspect/inspect_reports.h"
#include "output/loader_decoder.h"
#include "output/loader_records.h"
#include "support/crc_forge.h"
#include "support/run_binary.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const Bytes kSpeedDos = forgedBlock(0xD3DA, 1);  // banks 0B and 18 in the default catalogue
const Bytes kUnknown = forgedBlock(0x1A2B, 4);

// A working directory where the tool has written flash.bin and the two bank loader files for DD2.bin.
class FlashInfo : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes("fcFlash.prg", {0x00, 0x03, 0xAA, 0xBB});
        Bytes rom = kSpeedDos;
        rom.resize(16384, 0xFF);
        writeBytes("DD2.bin", rom);
        ASSERT_EQ(runFlashtool({"DD2.bin", "-t", "-v0"}).status, 0);
    }
    ScratchDir dir_;
};

// Rewrites the address of the record at offset and its checksum, as a writer with a wrong address would.
void moveRecord(Bytes& file, std::size_t offset, uint16_t address) {
    file[offset] = static_cast<uint8_t>(address & 0xFF);
    file[offset + 1] = static_cast<uint8_t>(address >> 8);
    const std::size_t length = file[offset + 2] == 0 ? 256 : file[offset + 2];
    uint8_t sum = file[offset];
    for (std::size_t i = 1; i < 3 + length; ++i) sum = addEndAroundCarry(sum, file[offset + i]);
    file[offset + 3 + length] = sum;
}

}  // namespace

TEST_F(FlashInfo, ReportsWhatTheToolWrote) {
    const RunResult run = runFlashinfo({"flash.bin", "&flashbank0b.prg", "&flashbank18.prg"});
    std::string banks;
    for (int bank = 0; bank < 64; ++bank) {
        char line[64];
        std::snprintf(line, sizeof line, bank == 0x0B || bank == 0x18 ? "%02x    SpeedDOS 40T HIROM  d3da\n"
                                                                       : "%02x    blank\n", bank);
        banks += line;
    }
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "catalogue: crc.ini\nflash.bin: flash image\nbank  content             crc-16  note\n" + banks +
                  "banks used: 2, blank: 62, unknown: 0, misplaced: 0\n"
                  "file              flasher  size  bank  block  size  crc-16  rom                 check\n"
                  "&flashbank0b.prg  0300     4     0b    4000   8192  d3da    SpeedDOS 40T HIROM  ok\n"
                  "&flashbank18.prg  0300     4     18    4000   8192  d3da    SpeedDOS 40T HIROM  ok\n");

    const RunResult json = runFlashinfo({"--json", "&flashbank18.prg"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              "{\"catalogue\": \"crc.ini\",\n \"files\": [\n  {\"file\": \"&flashbank18.prg\", \"kind\": \"bank loader\", "
              "\"ok\": true, \"damage\": null, \"flasher\": {\"loadAddress\": \"0300\", \"size\": 4, \"bank\": 24}, "
              "\"block\": {\"start\": \"4000\", \"size\": 8192, \"crc\": \"d3da\", \"name\": \"SpeedDOS 40T HIROM\", "
              "\"catalogueBanks\": [11, 24], \"bankNamed\": true}}\n]}\n");
}

TEST_F(FlashInfo, FindsMisplacedAndUnknownContent) {
    writeBytes("speed.bin", kSpeedDos);
    writeBytes("mine.bin", kUnknown);
    ASSERT_EQ(runFlashtool({"speed.bin", "-sb05", "-t", "-v0"}).status, 0);
    ASSERT_EQ(runFlashtool({"mine.bin", "-sb06", "-t", "-v0"}).status, 0);
    fs::remove("crc.ini");  // the built-in catalogue is used, and crc.ini is not written
    const RunResult run = runFlashinfo({"flash.bin", "&flashbank05.prg", "&flashbank06.prg"});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists("crc.ini"));
    for (const char* expected : {"catalogue: built-in default\n",
                                 "05    SpeedDOS 40T HIROM  d3da    misplaced: the catalogue names 0b 18\n",
                                 "06    unknown             1a2b\n",
                                 "banks used: 4, blank: 60, unknown: 1, misplaced: 1\n",
                                 "d3da    SpeedDOS 40T HIROM  bank not named for this ROM (0b 18)\n",
                                 "1a2b    unknown             unknown block\n"}) {
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\nin:\n" << run.out;
    }
}

TEST_F(FlashInfo, UsageAndUnreadableInput) {
    fs::create_directory("folder.prg");
    const struct { std::vector<std::string> args; int status; std::string out; std::string err; } cases[] = {
        {{"--version"}, 0, "quillmore-flashinfo 1.0.0\n", ""},
        {{}, 2, "", "Usage: quillmore-flashinfo [--json] FILE...  (see --help)\n"},
        {{"-x", "flash.bin"}, 2, "", "quillmore-flashinfo: unknown option '-x' (see --help)\n"},
        {{"DD2.bin"}, 2, "catalogue: crc.ini\n",
         "quillmore-flashinfo: DD2.bin: not a flash image: 16384 bytes, a flash image has 524288\n"},
        {{"folder.prg", "missing.prg"}, 2, "catalogue: crc.ini\n",
         "quillmore-flashinfo: folder.prg: cannot open file\nquillmore-flashinfo: missing.prg: cannot open file\n"},
    };
    for (const auto& c : cases) {
        const RunResult run = runFlashinfo(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_EQ(runFlashinfo({"--help"}).out.substr(0, 43), "Usage: quillmore-flashinfo [--json] FILE...");
}

TEST_F(FlashInfo, EveryDamagedByteIsCaughtAtItsRecord) {
    const Bytes good = readBytes("&flashbank0b.prg");
    Catalogue catalogue;
    loadDefaultCatalogue(RunSettings{}, catalogue);
    const DecodedRecords decoded = decodeLoaderRecords(good.data(), good.size());
    ASSERT_EQ(decoded.records.size(), 33u);
    std::size_t record = 0;
    for (std::size_t at = 0; at < good.size(); ++at) {
        if (record + 1 < decoded.records.size() && at >= decoded.records[record + 1].offset) ++record;
        Bytes damaged = good;
        damaged[at] ^= 0x01;
        LoaderReport report;
        inspectLoaderBytes(damaged.data(), damaged.size(), catalogue, report);
        ASSERT_TRUE(report.damaged) << "byte " << at;
        ASSERT_EQ(report.damageOffset, decoded.records[record].offset) << "byte " << at << ": " << report.damage;
    }
}

TEST_F(FlashInfo, StructuralDamage) {
    const Bytes good = readBytes("&flashbank0b.prg");  // a 7-byte flasher record, then 32 block records
    Catalogue catalogue;
    loadDefaultCatalogue(RunSettings{}, catalogue);
    Bytes gap = good;
    moveRecord(gap, 7 + 5 * 260, 0x4600);
    Bytes extra = good;
    extra.insert(extra.end(), good.begin(), good.begin() + 7);
    const struct { const char* label; Bytes bytes; std::size_t offset; std::string damage; } cases[] = {
        {"empty", {}, 0, "empty file, no records"},
        {"header cut", Bytes(good.begin(), good.begin() + 9), 7, "truncated record header"},
        {"record cut", Bytes(good.begin(), good.end() - 1), 7 + 31 * 260, "record runs past the end of the file"},
        {"block missing", Bytes(good.begin(), good.begin() + 7), 7,
         "block records missing: 1 records in all, a bank loader file ends with 32 records at 4000"},
        {"address gap", gap, 7 + 5 * 260, "block record at 4600 with 256 bytes, expected 256 bytes at 4500"},
        {"trailing record", extra, 7, "flasher record after a short record"},
    };
    for (const auto& c : cases) {
        LoaderReport report;
        inspectLoaderBytes(c.bytes.data(), c.bytes.size(), catalogue, report);
        EXPECT_TRUE(report.damaged) << c.label;
        EXPECT_EQ(report.damageOffset, c.offset) << c.label;
        EXPECT_EQ(report.damage, c.damage) << c.label;
    }
#ifndef _WIN32
    // A 2 GB file is refused after its size alone; nothing of it is read.
    { std::FILE* big = std::fopen("big.prg", "wb"); std::fclose(big); }
    fs::resize_file("big.prg", 2147483648u);
    LoaderReport report;
    EXPECT_EQ(inspectLoaderFile("big.prg", catalogue, report), kInspectRead);
    EXPECT_EQ(report.damageOffset, kMaxLoaderFileSize);
    EXPECT_EQ(report.damage, "larger than a bank loader file can be (9359 bytes)");
#endif
}
