// quillmore-flashinfo end to end: its reports on images and bank loader files,
// and its exit statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

const Bytes kSpeedDos = forgedBlock(0xD3DA, 1);  // banks 0b and 18 in the default catalogue
const Bytes kUnknown = forgedBlock(0x1A2B, 4);

// The image table: every bank blank but for these rows.
std::string imageTable(const std::map<int, std::string>& rows) {
    std::string table = "bank  content             crc-16  note\n";
    for (int bank = 0; bank < 64; ++bank) {
        char id[8];
        std::snprintf(id, sizeof id, "%02x    ", bank);
        table += id + (rows.count(bank) != 0 ? rows.at(bank) : "blank") + "\n";
    }
    return table;
}

}  // namespace

TEST(Flashinfo, ReportsImagesAndBankLoaderFiles) {
    ScratchDir dir;
    const std::string speed = "SpeedDOS 40T HIROM  d3da";
    writeFiles({{"flash.bin", imageWith({{0x05, kSpeedDos}, {0x06, kUnknown}, {0x0B, kSpeedDos}, {0x18, kSpeedDos}})},
                {"good.prg", bankFile(0x0B, kSpeedDos)},
                {"misplaced.prg", bankFile(0x05, kSpeedDos)},
                {"unknown.prg", bankFile(0x06, kUnknown)},
                {"bare.prg", recordsOf(0x4000, kSpeedDos)}});
    RunResult run = runFlashinfo({"flash.bin", "good.prg", "misplaced.prg", "unknown.prg", "bare.prg"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "catalogue: built-in default\nflash.bin: flash image\n" +
                  imageTable({{0x05, speed + "    misplaced: the catalogue names 0b 18"},
                              {0x06, "unknown             1a2b"},
                              {0x0B, speed},
                              {0x18, speed}}) +
                  "banks used: 4, blank: 60, unknown: 1, misplaced: 1\n"
                  "file           flasher  size  bank  block  size  crc-16  rom                 check\n"
                  "good.prg       0300     4     0b    4000   8192  d3da    SpeedDOS 40T HIROM  ok\n"
                  "misplaced.prg  0300     4     05    4000   8192  d3da    SpeedDOS 40T HIROM  "
                  "bank not named for this ROM (0b 18)\n"
                  "unknown.prg    0300     4     06    4000   8192  1a2b    unknown             unknown block\n"
                  "bare.prg       -        -     -     4000   8192  d3da    SpeedDOS 40T HIROM  no flasher records\n");
    EXPECT_FALSE(fs::exists("crc.ini")) << "the inspector never writes";
    EXPECT_EQ(runFlashinfo({"good.prg"}).status, 0);

    // A name in UTF-8 with a byte that is none and a terminal control sequence.
    writeBytes("crc.ini", text("d3da; 0B; M\xC3\xBCller \xFF\x1B[0m X\n"));
    EXPECT_NE(runFlashinfo({"good.prg"}).out.find("d3da    M\xC3\xBCller \\xff\\x1b[0m X  ok\n"), std::string::npos);
    EXPECT_NE(runFlashinfo({"--json", "good.prg"}).out.find("\"name\": \"M\xC3\xBCller \xEF\xBF\xBD\\u001b[0m X\""),
              std::string::npos);

    writeBytes("crc.ini", text("d3da; 05; M\"\\\x01" "e\n"));  // a name JSON must escape
    const std::string mine = "\"M\\\"\\\\\\u0001e\"";
    run = runFlashinfo({"--json", "good.prg", "flash.bin"});
    EXPECT_EQ(run.status, 1);
    const std::string prefix =
        "{\"catalogue\": \"crc.ini\",\n \"files\": [\n  {\"file\": \"good.prg\", \"kind\": \"bank loader\", \"ok\": false, "
        "\"damage\": null, \"flasher\": {\"loadAddress\": \"0300\", \"size\": 4, \"bank\": 11}, \"block\": {\"start\": "
        "\"4000\", \"size\": 8192, \"crc\": \"d3da\", \"name\": " + mine + ", \"catalogueBanks\": [5], \"bankNamed\": false}},\n"
        "  {\"file\": \"flash.bin\", \"kind\": \"flash image\", \"banks\": [\n    {\"bank\": 0, \"content\": \"blank\"},\n";
    EXPECT_EQ(run.out.substr(0, prefix.size()), prefix);
    // Of the 64 entries, the four that are not blank, and the end.
    for (const std::string& part : std::vector<std::string>{
             ",\n    {\"bank\": 5, \"content\": \"known\", \"crc\": \"d3da\", \"name\": " + mine +
              ", \"catalogueBanks\": [5], \"misplaced\": false},\n    {\"bank\": 6, \"content\": \"unknown\", \"crc\": \"1a2b\", "
              "\"name\": null, \"catalogueBanks\": [], \"misplaced\": false},\n    {\"bank\": 7, \"content\": \"blank\"},\n",
          ",\n    {\"bank\": 24, \"content\": \"known\", \"crc\": \"d3da\", \"name\": " + mine +
              ", \"catalogueBanks\": [5], \"misplaced\": true},\n",
          ",\n    {\"bank\": 63, \"content\": \"blank\"}],\n   \"summary\": {\"used\": 4, \"blank\": 60, \"unknown\": 1, "
          "\"misplaced\": 2}}\n]}\n"}) {
        EXPECT_NE(run.out.find(part), std::string::npos) << part;
    }
}

TEST(Flashinfo, DamageUsageAndUnreadableFiles) {
    ScratchDir dir;
    Bytes cut = bankFile(0x0B, kSpeedDos);
    cut.pop_back();
    writeFiles({{"cut.prg", cut}, {"rom.bin", kSpeedDos}, {"-e.prg", {}}, {"big.prg", Bytes(9360, 0)}});
    fs::create_directory("folder.prg");
    const struct { std::vector<std::string> args; int status; std::string out, err; } cases[] = {
        {{"--version"}, 0, "quillmore-flashinfo 1.0.0\n", ""},
        {{}, 2, "", "Usage: quillmore-flashinfo [--json] FILE...  (see --help)\n"},
        {{"-x", "cut.prg"}, 2, "", "quillmore-flashinfo: unknown option '-x' (see --help)\n"},
        {{"cut.prg", "big.prg"}, 1,
         "catalogue: built-in default\nfile     flasher  size  bank  block  size  crc-16  rom  check\n"
         "cut.prg  -        -     -     -      -     -       -    damaged at offset 8067 (0x1f83): record runs past the end of "
         "the file\nbig.prg  -        -     -     -      -     -       -    damaged at offset 9359 (0x248f): larger than a bank "
         "loader file can be (9359 bytes)\n", ""},
        {{"--json", "--", "cut.prg", "-e.prg"}, 1,
         "{\"catalogue\": \"built-in default\",\n \"files\": [\n  {\"file\": \"cut.prg\", \"kind\": \"bank loader\", "
         "\"ok\": false, \"damage\": {\"offset\": 8067, \"kind\": \"record runs past the end of the file\"}},\n"
         "  {\"file\": \"-e.prg\", \"kind\": \"bank loader\", \"ok\": false, \"damage\": {\"offset\": 0, "
         "\"kind\": \"empty file, no records\"}}\n]}\n", ""},
        {{"rom.bin", "folder.prg", "missing.prg"}, 2, "catalogue: built-in default\n",
         "quillmore-flashinfo: rom.bin: not a flash image: 8192 bytes, a flash image has 524288\n"
         "quillmore-flashinfo: folder.prg: not a regular file\nquillmore-flashinfo: missing.prg: cannot open file\n"},
    };
    for (const auto& c : cases) {
        const RunResult run = runFlashinfo(c.args);
        EXPECT_EQ(run.status, c.status) << c.out;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_EQ(runFlashinfo({"--help"}).out.substr(0, 44), "Usage: quillmore-flashinfo [--json] FILE...\n");
#ifndef _WIN32
    mkfifo("fifo.prg", 0600);
    EXPECT_EQ(runFlashinfo({"fifo.prg"}).err, "quillmore-flashinfo: fifo.prg: not a regular file\n");
    mkfifo("crc.ini", 0600);
#else
    fs::create_directory("crc.ini");
#endif
    const RunResult run = runFlashinfo({"cut.prg"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quillmore-flashinfo: crc.ini: not a regular file, or not readable\n");
}
