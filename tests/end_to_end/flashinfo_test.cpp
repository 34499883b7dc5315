// quillmore-flashinfo end to end: each kind of file told from its content,
// its reports as tables and JSON, and its exit statuses.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

#include "inspect/display_text.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kUnrecognised =
    ", where a flash image has 524288, a ROM file a multiple of 8192 (or that plus 2), a bank loader file at "
    "most 9359 starting with a loader record, a disk image 174848, 175531, 196608 or 197376 (.d64), 819200 or 822400 "
    "bytes (.d81), and a catalogue text in lines \"CRC; BANKS; NAME\"";

}  // namespace

TEST(Flashinfo, TellsEachKindFromItsContent) {
    ScratchDir dir;  // no name tells the kind: the image is a .prg, a bank loader file a .bin
    writeFiles({{"image.prg", imageWith({{0x05, kSpeedDos}, {0x07, kUnknown}, {0x0B, kSpeedDos}, {0x18, kSpeedDos}})},
        {"rom.prg", concat({{0x01, 0x08}, kSpeedDos, kSpeedDos, Bytes(8192, 0xFF), kUnknown})},
        {"good.bin", bankFile(0x0B, kSpeedDos)}, {"misplaced.prg", bankFile(0x05, kSpeedDos)},
        {"unknown.prg", bankFile(0x06, kUnknown)}, {"bare.prg", recordsOf(0x4000, kSpeedDos)},
        {"high.prg", bankFile(0x40, kSpeedDos)}});
    EXPECT_EQ(
        runFlashinfo({"image.prg", "rom.prg", "good.bin", "misplaced.prg", "unknown.prg", "bare.prg", "high.prg"}),
        (RunResult{1,
            "catalogue: built-in default\nimage.prg: flash image\nbank   content               crc-16  note\n"
            "00-04  blank\n05     SpeedDOS 40T HIROM    d3da    misplaced: the catalogue names 0b 18\n06     blank\n"
            "07     unknown               1a2b\n08-0a  blank\n0b     SpeedDOS 40T HIROM    d3da\n0c-17  blank\n"
            "18     SpeedDOS 40T HIROM    d3da\n19-3f  blank\nbanks used: 4, blank: 60, unknown: 1, misplaced: 1\n"
            "rom.prg: ROM file, load address 0801\nblock  crc-16  content               banks\n"
            "00-01  d3da    SpeedDOS 40T HIROM    0b 18\n02     0003    blank\n03     1a2b    unknown\n"
            "blocks: 4, known: 2, blank: 1, unknown: 1\n"
            "file           flasher  size  bank  block  size  crc-16  rom                 check\n"
            "good.bin       0300     4     0b    4000   8192  d3da    SpeedDOS 40T HIROM  ok\n"
            "misplaced.prg  0300     4     05    4000   8192  d3da    SpeedDOS 40T HIROM  bank not named for this ROM "
            "(0b 18)\n"
            "unknown.prg    0300     4     06    4000   8192  1a2b    unknown             unknown block\n"
            "bare.prg       -        -     -     4000   8192  d3da    SpeedDOS 40T HIROM  no flasher records\n"
            "high.prg       0300     4     40    4000   8192  d3da    SpeedDOS 40T HIROM  bank 40 is not in the flash "
            "(00-3f)\n",
            ""}));
    EXPECT_FALSE(fs::exists("crc.ini")) << "the inspector never writes";
    for (const char* report : {"--", "--json"})
        EXPECT_EQ(runFlashinfo({report, "good.bin"}).status, 0) << "one good file";
    // An image is good only without unknown banks and without misplaced ones; a ROM file of one block.
    for (const auto& [banks, status] : std::vector<std::pair<std::map<int, Bytes>, int>>{{{{0x0B, kSpeedDos}}, 0},
             {{{0x05, kSpeedDos}}, 1}, {{{0x07, kUnknown}}, 1}, {{{0x05, kSpeedDos}, {0x07, kUnknown}}, 1}}) {
        writeBytes("one.bin", imageWith(banks));
        EXPECT_EQ(runFlashinfo({"one.bin"}).status, status)
            << banks.size() << " banks, the first " << banks.begin()->first;
    }
    writeBytes("one.bin", kSpeedDos);
    EXPECT_PRED2(contains, runFlashinfo({"one.bin"}).out, "\nblocks: 1, known: 1, blank: 0, unknown: 0\n");

    writeBytes("crc.ini", text("d3da; 05; Mine\n"));
    const RunResult run = runFlashinfo({"--json", "good.bin", "rom.prg", "image.prg"});
    EXPECT_EQ(run.status, 1);
    const std::string head = json(
        "{'catalogue': 'crc.ini',\n 'files': [\n  {'file': 'good.bin', 'kind': 'bank loader', 'ok': false, 'damage': "
        "null, 'flasher': {'loadAddress': '0300', 'size': 4, 'bank': '0b', 'inFlash': true}, 'block': {'start': "
        "'4000', 'size': 8192, "
        "'crc': 'd3da', 'name': 'Mine', 'catalogueBanks': ['05'], 'bankNamed': false}},\n  {'file': 'rom.prg', 'kind': "
        "'ROM file', 'loadAddress': '0801', 'blocks': [\n    {'block': '00', 'content': 'known', 'crc': 'd3da', "
        "'name': 'Mine', 'banks': ['05']},\n    {'block': '01', 'content': 'known', 'crc': 'd3da', 'name': 'Mine', "
        "'banks': ['05']},\n    {'block': '02', 'content': 'blank', 'crc': '0003'},\n    {'block': '03', 'content': "
        "'unknown', 'crc': '1a2b', 'name': null, 'banks': []}],\n   'summary': {'blocks': 4, 'known': 2, 'blank': 1, "
        "'unknown': 1}},\n  {'file': 'image.prg', 'kind': 'flash image', 'banks': [\n    {'bank': '00', 'content': "
        "'blank'},\n");
    EXPECT_EQ(run.out.substr(0, head.size()), head);
    EXPECT_PRED2(contains, run.out,
        json(",\n    {'bank': '3f', 'content': 'blank'}],\n   'summary': {'used': 4, 'blank': 60, 'unknown': 1, "
             "'misplaced': 2}}\n]}\n"));

    // A name in UTF-8 with quotes, a backslash, a byte that is none and a terminal control sequence.
    writeBytes("crc.ini", text("d3da; 0B; \"M\xC3\xBCller\" \\ \xFF\x1B[0m X\n"));
    EXPECT_PRED2(contains, runFlashinfo({"good.bin"}).out, "d3da    \"M\xC3\xBCller\" \\ \\xff\\x1b[0m X  ok\n");
    EXPECT_PRED2(contains, runFlashinfo({"--json", "good.bin"}).out,
        "\"name\": \"\\\"M\xC3\xBCller\\\" \\\\ \xEF\xBF\xBD\\u001b[0m X\"");
}

TEST(Flashinfo, DamageUsageAndFilesThatCannotBeTold) {
    ScratchDir dir;
    Bytes cut = bankFile(0x0B, kSpeedDos), sum = cut;
    cut.pop_back();
    sum[6] ^= 0x01;  // the first record's checksum: only the size tells the kind
    Bytes wide;      // 257 blocks: block numbers of three digits
    for (int i = 0; i < 257; ++i) wide.insert(wide.end(), kUnknown.begin(), kUnknown.end());
    writeFiles({{"cut.prg", cut}, {"sum.prg", sum}, {"wide.bin", wide}, {"odd.txt", text("o")}, {"-e.prg", {}},
        {"zero.txt", concat({text("1111; 01; one\n"), {0}})}, {"two.bin", {0x01, 0x08}},
        {"big.prg", concat({bankFile(0x0B, kSpeedDos), Bytes(1200)})}});
    fs::create_directory("folder.prg");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::string after = "";  // redirections after the captures: where the report really goes
    };
    std::vector<Case> cases{
        {{"--version"}, 0, "quillmore-flashinfo 1.0.0\n", ""},
        {{}, 2, "", "Usage: quillmore-flashinfo [--json] [--catalogue] FILE...  (see --help)\n"},
        {{"cut.prg", "--catalogue"}, 2, "", "quillmore-flashinfo: --catalogue needs a FILE (see --help)\n"},
        {{"-x", "cut.prg"}, 2, "", "quillmore-flashinfo: unknown option '-x' (see --help)\n"},
        {{"cut.prg", "two.bin", "big.prg"}, 1,
            "catalogue: built-in default\ntwo.bin: ROM file, load address 0801\n"
            "no whole block: quillmore-flashtool writes nothing for it\n"
            "file     flasher  size  bank  block  size  crc-16  rom  check\n"
            "cut.prg  -        -     -     -      -     -       -    damaged at offset 8067 (0x1f83): record runs past "
            "the end of the file\n"
            "big.prg  -        -     -     -      -     -       -    damaged at offset 9359 (0x248f): larger than a "
            "bank loader file can be (9359 bytes)\n",
            ""},
        {{"--json", "--", "cut.prg", "sum.prg", "-e.prg"}, 1,
            json("{'catalogue': 'built-in default',\n 'files': [\n  {'file': 'cut.prg', 'kind': 'bank loader', 'ok': "
                 "false, 'damage': {'offset': 8067, 'kind': 'record runs past the end of the file'}},\n  {'file': "
                 "'sum.prg', 'kind': 'bank loader', 'ok': false, 'damage': {'offset': 0, 'kind': 'checksum error'}},\n "
                 " {'file': '-e.prg', 'kind': 'ROM file', 'loadAddress': null, 'blocks': [],\n   'summary': {'blocks': "
                 "0, 'known': 0, 'blank': 0, 'unknown': 0}}\n]}\n"),
            ""},
        {{"wide.bin"}, 1,
            "catalogue: built-in default\nwide.bin: ROM file\nblock    crc-16  content               banks\n"
            "00-100   1a2b    unknown\nblocks: 257, known: 0, blank: 0, unknown: 257\n",
            ""},
        {{"--compare", "cut.prg"}, 2, "",
            "Usage: quillmore-flashinfo [--json] --compare EXPECTED FOUND  (see --help)\n"},
        {{"--compare", "missing.prg", "cut.prg"}, 2, "", "quillmore-flashinfo: missing.prg: cannot open file\n"},
        {{"--json", "--compare", "cut.prg", "missing.prg"}, 2,
            json("{'catalogue': 'built-in default',\n 'compare': {'expected': 'cut.prg', 'found': 'missing.prg', "
                 "'error': 'cut.prg: not a flash image: 8326 bytes, where a flash image has 524288'}}\n"),
            "quillmore-flashinfo: cut.prg: not a flash image: 8326 bytes, where a flash image has 524288\n"},
        {{"zero.txt", "odd.txt", "folder.prg", "missing.prg"}, 2, "catalogue: built-in default\n",
            "quillmore-flashinfo: zero.txt: not a file the flash tool reads or writes: 15 bytes" + kUnrecognised +
                "\nquillmore-flashinfo: odd.txt: not a file the flash tool reads or writes: 1 byte" + kUnrecognised +
                "\nquillmore-flashinfo: folder.prg: not a regular file\n"
                "quillmore-flashinfo: missing.prg: cannot open file\n"},
    };
#ifndef _WIN32
    // A report that cannot be written is a failure, whatever the files hold.
    cases.push_back(
        {{"two.bin"}, 2, "", "quillmore-flashinfo: cannot write the report: No space left on device\n", " >/dev/full"});
    cases.push_back(
        {{"--json", "two.bin"}, 2, "", "quillmore-flashinfo: cannot write the report: Bad file descriptor\n", " >&-"});
#endif
    for (const auto& c : cases) EXPECT_EQ(runFlashinfo(c.args, c.after), (RunResult{c.status, c.out, c.err}));
    for (const char* help : {"--help", "-h"})
        EXPECT_EQ(
            runFlashinfo({help}).out.substr(0, 58), "Usage: quillmore-flashinfo [--json] [--catalogue] FILE...\n");
    makeFifoOrFolder("crc.ini");  // not a regular file: the built-in table does not stand in for it
    EXPECT_EQ(runFlashinfo({"cut.prg"}),
        (RunResult{2, "", "quillmore-flashinfo: crc.ini: not a regular file, or not readable\n"}));
    EXPECT_EQ(runFlashinfo({"--json", "cut.prg"}).out,
        json("{'catalogue': 'crc.ini', 'error': 'crc.ini: not a regular file, or not readable'}\n"));
}

TEST(Flashinfo, ComparesTwoImagesBankByBank) {
    ScratchDir dir;
    Bytes flipped = kSpeedDos, unprogrammed = kSpeedDos;
    flipped[100] ^= 0x10;
    std::fill(unprogrammed.begin(), unprogrammed.begin() + 16, 0xFF);  // bits that stayed 1
    writeBytes("expected.bin", imageWith({{0x0B, kSpeedDos}, {0x18, kSpeedDos}, {0x24, kQuickDos}}));
    // The bank loader files that program banks again: 0b's as expected, 18's for another bank, none for 24.
    writeFiles({{"&flashbank0b.prg", bankFile(0x0B, kSpeedDos)}, {"&flashbank18.prg", bankFile(0x0B, kSpeedDos)}});
    const std::string head =
        "catalogue: built-in default\ncompare: expected.bin (expected) with found.bin (found)\n"
        "bank   expected              crc-16  found                 crc-16  differing  first at  send again\n";
    const std::vector<std::tuple<const char*, std::map<int, Bytes>, int, std::string>> cases{
        {"identical", {{0x0B, kSpeedDos}, {0x18, kSpeedDos}, {0x24, kQuickDos}}, 0,
            "00-3f  same\nbanks: 64, same: 64, differ: 0\n"},
        {"a bank never burned", {{0x0B, kSpeedDos}, {0x18, kSpeedDos}}, 1,
            "00-23  same\n24     QuickDOS HIROM        40e2    blank                         8160       048000    "
            "&flashbank24.prg (not here)\n25-3f  same\nbanks: 64, same: 63, differ: 1\n"},
        {"a flipped bit, bits not programmed, another ROM, a bank programmed where none was to be",
            {{0x0B, flipped}, {0x18, unprogrammed}, {0x24, kImprLorom}, {0x30, kUnknown}}, 1,
            "00-0a  same\n0b     SpeedDOS 40T HIROM    d3da    unknown               c1ee    1          016064    "
            "&flashbank0b.prg\n0c-17  same\n18     SpeedDOS 40T HIROM    d3da    unknown               b0f5    16"
            "         030000    &flashbank18.prg (holds other data)\n19-23  same\n24     QuickDOS HIROM        40e2"
            "    Impr. LOROM Orig      f071    8192       048000    &flashbank24.prg (not here)\n25-2f  same\n"
            "30     blank                         unknown               1a2b    8160       060000    -\n"
            "31-3f  same\nbanks: 64, same: 60, differ: 4\n"},
    };
    for (const auto& [label, found, status, rows] : cases) {
        writeBytes("found.bin", imageWith(found));
        EXPECT_EQ(runFlashinfo({"--compare", "expected.bin", "found.bin"}), (RunResult{status, head + rows, ""}))
            << label;
    }
    // The JSON of the last case: the banks alike, then those that differ, each with both sides.
    const RunResult run = runFlashinfo({"--json", "--compare", "expected.bin", "found.bin"});
    EXPECT_EQ(run.status, 1);
    const std::string speedDos = "{'content': 'known', 'crc': 'd3da', 'name': 'SpeedDOS 40T HIROM'}";
    for (const std::string& part :
        std::vector<std::string>{"{'catalogue': 'built-in default',\n 'compare': {'expected': 'expected.bin', 'found': "
                                 "'found.bin', 'banks': "
                                 "[\n    {'bank': '00', 'same': true},\n    {'bank': '01', 'same': true},\n",
            "},\n    {'bank': '0b', 'same': false, 'differingBytes': 1, 'firstDifference': '016064', 'expected': " +
                speedDos +
                ", 'found': {'content': 'unknown', 'crc': 'c1ee'}, 'loader': {'file': '&flashbank0b.prg', 'present': "
                "true, 'matches': true}},\n    {'bank': '0c', 'same': true},",
            "},\n    {'bank': '18', 'same': false, 'differingBytes': 16, 'firstDifference': '030000', 'expected': " +
                speedDos +
                ", 'found': {'content': 'unknown', 'crc': 'b0f5'}, 'loader': {'file': '&flashbank18.prg', 'present': "
                "true, 'matches': false}},\n",
            "},\n    {'bank': '24', 'same': false, 'differingBytes': 8192, 'firstDifference': '048000', 'expected': "
            "{'content': 'known', 'crc': '40e2', 'name': 'QuickDOS HIROM'}, 'found': {'content': 'known', 'crc': "
            "'f071', 'name': 'Impr. LOROM Orig'}, 'loader': {'file': '&flashbank24.prg', 'present': false, 'matches': "
            "false}},\n",
            "'expected': {'content': 'blank'}, 'found': {'content': 'unknown', 'crc': '1a2b'}, 'loader': null},\n",
            "{'bank': '3f', 'same': true}],\n   'summary': {'banks': 64, 'same': 60, 'differ': 4}}}\n"})
        EXPECT_PRED2(contains, run.out, json(part));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 67) << "a line for each bank";
}

TEST(Flashinfo, ReadsACatalogueAsTheToolDoes) {
    ScratchDir dir;  // told by content: lines of text, one of them an entry
    writeFiles({{"mine.txt", text("# mine\r\n1111; 01; one\r\nd3da; 0B,18; Speed\"DOS\n2222; 40; high\n\n"
                                  "1111; 02; again\nbad line\nxyz; 01; n\n1111; 3f; third")},
        {"crc.ini", defaultCatalogueFile()}, {"odd.txt", text("odd")}});
    EXPECT_EQ(runFlashinfo({"mine.txt"}),
        (RunResult{1,
            "catalogue: crc.ini\nmine.txt: catalogue\nline  crc-16  banks  name\n2     1111    01     one\n"
            "3     d3da    0b 18  Speed\"DOS\n"
            "4     refused (rc=-4): the banks are not hexadecimal numbers 00 to 3f, separated by commas or blanks\n"
            "6     1111    02     again\n7     refused (rc=-2): not two ';' between CRC-16, banks and name\n"
            "8     refused (rc=-3): the CRC-16 is not a hexadecimal number\n9     1111    3f     third\n"
            "1111 listed on lines 2, 6 and 9: quillmore-flashtool uses line 9\n"
            "lines: 9, entries: 4, refused: 3, listed again: 1\n",
            ""}));
    // The JSON holds what the table does, entries and refused lines each in line order.
    RunResult run = runFlashinfo({"--json", "--catalogue", "mine.txt"});
    EXPECT_EQ(run.status, 1);
    for (const char* part : {"'entries': [\n    {'line': 2, 'crc': '1111', 'banks': ['01'], 'name': 'one'},",
             "'refused': [{'line': 4, 'status': -4, 'why': 'the banks are not hexadecimal numbers 00 to 3f, separated "
             "by commas or blanks'}, {'line': 7, 'status': -2, ",
             "'banks': ['0b', '18'], 'name': 'Speed\\\"DOS'}",
             "'listedAgain': [{'crc': '1111', 'lines': [2, 6, 9], 'used': 9}],\n   'summary': {'lines': 9, 'entries': "
             "4, 'refused': 3, 'listedAgain': 1}}\n]}\n"})
        EXPECT_PRED2(contains, run.out, json(part));
    run = runFlashinfo({"crc.ini", "--catalogue", "odd.txt"});
    EXPECT_EQ(run.status, 1) << "the default lists nothing twice; odd.txt has a refused line";
    EXPECT_PRED2(contains, run.out, "crc.ini: catalogue\n");
    EXPECT_PRED2(contains, run.out, "lines: 32, entries: 29, refused: 0, listed again: 0\n");
    EXPECT_EQ(runFlashinfo({"crc.ini"}).status, 0);
}
