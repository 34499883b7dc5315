// quillmore-flashinfo end to end: each kind of file told from its content,
// its reports as tables and JSON, and its exit statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const Bytes kSpeedDos = forgedBlock(0xD3DA, 1);  // banks 0b and 18 in the default catalogue
const Bytes kUnknown = forgedBlock(0x1A2B, 4);
const std::string kUnrecognised = " bytes, where a flash image has 524288, a ROM file a multiple of 8192 (or that plus 2), "
                                  "and a bank loader file at most 9359 starting with a loader record";

}  // namespace

TEST(Flashinfo, TellsEachKindFromItsContent) {
    ScratchDir dir;  // no name tells the kind: the image is a .prg, a bank loader file a .bin
    writeFiles({{"image.prg", imageWith({{0x05, kSpeedDos}, {0x07, kUnknown}, {0x0B, kSpeedDos}, {0x18, kSpeedDos}})},
                {"rom.prg", concat({{0x01, 0x08}, kSpeedDos, Bytes(8192, 0xFF), kUnknown})}, {"good.bin", bankFile(0x0B, kSpeedDos)},
                {"misplaced.prg", bankFile(0x05, kSpeedDos)}, {"unknown.prg", bankFile(0x06, kUnknown)},
                {"bare.prg", recordsOf(0x4000, kSpeedDos)}, {"good.img", imageWith({{0x0B, kSpeedDos}})},
                {"good.rom", concat({kSpeedDos, Bytes(8192, 0xFF)})}});
    RunResult run = runFlashinfo({"image.prg", "rom.prg", "good.bin", "misplaced.prg", "unknown.prg", "bare.prg"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "catalogue: built-in default\nimage.prg: flash image\nbank   content             crc-16  note\n"
              "00-04  blank\n05     SpeedDOS 40T HIROM  d3da    misplaced: the catalogue names 0b 18\n06     blank\n"
              "07     unknown             1a2b\n08-0a  blank\n0b     SpeedDOS 40T HIROM  d3da\n0c-17  blank\n"
              "18     SpeedDOS 40T HIROM  d3da\n19-3f  blank\nbanks used: 4, blank: 60, unknown: 1, misplaced: 1\n"
              "rom.prg: ROM file, load address 0801\nblock  crc-16  content             banks\n"
              "00     d3da    SpeedDOS 40T HIROM  0b 18\n01     0003    blank\n02     1a2b    unknown\n"
              "blocks: 3, known: 1, blank: 1, unknown: 1\n"
              "file           flasher  size  bank  block  size  crc-16  rom                 check\n"
              "good.bin       0300     4     0b    4000   8192  d3da    SpeedDOS 40T HIROM  ok\n"
              "misplaced.prg  0300     4     05    4000   8192  d3da    SpeedDOS 40T HIROM  bank not named for this ROM (0b 18)\n"
              "unknown.prg    0300     4     06    4000   8192  1a2b    unknown             unknown block\n"
              "bare.prg       -        -     -     4000   8192  d3da    SpeedDOS 40T HIROM  no flasher records\n");
    EXPECT_FALSE(fs::exists("crc.ini")) << "the inspector never writes";
    EXPECT_EQ(runFlashinfo({"good.bin", "good.img", "good.rom"}).status, 0);

    writeBytes("crc.ini", text("d3da; 05; M\"\\\x01" "e\n"));  // a name JSON must escape
    const std::string mine = "\"M\\\"\\\\\\u0001e\"";
    run = runFlashinfo({"--json", "good.bin", "rom.prg", "image.prg"});
    EXPECT_EQ(run.status, 1);
    const std::string head =
        "{\"catalogue\": \"crc.ini\",\n \"files\": [\n  {\"file\": \"good.bin\", \"kind\": \"bank loader\", \"ok\": false, "
        "\"damage\": null, \"flasher\": {\"loadAddress\": \"0300\", \"size\": 4, \"bank\": \"0b\"}, \"block\": {\"start\": "
        "\"4000\", \"size\": 8192, \"crc\": \"d3da\", \"name\": " + mine + ", \"catalogueBanks\": [\"05\"], \"bankNamed\": false}},\n"
        "  {\"file\": \"rom.prg\", \"kind\": \"ROM file\", \"loadAddress\": \"0801\", \"blocks\": [\n    {\"block\": \"00\", "
        "\"content\": \"known\", \"crc\": \"d3da\", \"name\": " + mine + ", \"banks\": [\"05\"]},\n    {\"block\": \"01\", \"content\": "
        "\"blank\", \"crc\": \"0003\"},\n    {\"block\": \"02\", \"content\": \"unknown\", \"crc\": \"1a2b\", \"name\": null, \"banks\": "
        "[]}],\n   \"summary\": {\"blocks\": 3, \"known\": 1, \"blank\": 1, \"unknown\": 1}},\n  {\"file\": \"image.prg\", \"kind\": "
        "\"flash image\", \"banks\": [\n    {\"bank\": \"00\", \"content\": \"blank\"},\n";
    EXPECT_EQ(run.out.substr(0, head.size()), head);
    const std::string misplaced = ",\n    {\"bank\": \"18\", \"content\": \"known\", \"crc\": \"d3da\", \"name\": " + mine +
                                  ", \"catalogueBanks\": [\"05\"], \"misplaced\": true},\n";  // one entry a bank, blank or not
    EXPECT_NE(run.out.find(misplaced), std::string::npos);
    EXPECT_NE(run.out.find(",\n    {\"bank\": \"3f\", \"content\": \"blank\"}],\n   \"summary\": {\"used\": 4, \"blank\": 60, "
                           "\"unknown\": 1, \"misplaced\": 2}}\n]}\n"), std::string::npos);

    // A name in UTF-8 with a byte that is none and a terminal control sequence, as a table shows it.
    writeBytes("crc.ini", text("d3da; 0B; M\xC3\xBCller \xFF\x1B[0m X\n"));
    EXPECT_NE(runFlashinfo({"good.bin"}).out.find("d3da    M\xC3\xBCller \\xff\\x1b[0m X  ok\n"), std::string::npos);
}

TEST(Flashinfo, DamageUsageAndFilesThatCannotBeTold) {
    ScratchDir dir;
    Bytes cut = bankFile(0x0B, kSpeedDos);
    cut.pop_back();
    writeFiles({{"cut.prg", cut}, {"odd.txt", text("odd")}, {"-e.prg", {}}, {"big.prg", concat({recordsOf(0, {1}), Bytes(9360)})}});
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
        {{"--json", "--", "cut.prg", "-e.prg"}, 2,
         "{\"catalogue\": \"built-in default\",\n \"files\": [\n  {\"file\": \"cut.prg\", \"kind\": \"bank loader\", "
         "\"ok\": false, \"damage\": {\"offset\": 8067, \"kind\": \"record runs past the end of the file\"}},\n"
         "  {\"file\": \"-e.prg\", \"error\": \"not a file the flash tool reads or writes: 0" + kUnrecognised + "\"}\n]}\n", ""},
        {{"odd.txt", "folder.prg", "missing.prg"}, 2, "catalogue: built-in default\n",
         "quillmore-flashinfo: odd.txt: not a file the flash tool reads or writes: 3" + kUnrecognised + "\n"
         "quillmore-flashinfo: folder.prg: not a regular file\nquillmore-flashinfo: missing.prg: cannot open file\n"},
    };
    for (const auto& c : cases) {
        const RunResult run = runFlashinfo(c.args);
        EXPECT_EQ(run.status, c.status) << c.out;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_EQ(runFlashinfo({"--help"}).out.substr(0, 44), "Usage: quillmore-flashinfo [--json] FILE...\n");
    EXPECT_EQ(runFlashinfo({"-h"}).out, runFlashinfo({"--help"}).out);
    makeFifoOrFolder("crc.ini");  // not a regular file: the built-in table does not stand in for it
    const RunResult run = runFlashinfo({"cut.prg"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quillmore-flashinfo: crc.ini: not a regular file, or not readable\n");
}
