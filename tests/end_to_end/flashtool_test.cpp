// quillmore-flashtool end to end: whole runs of the built binary in a fresh
// directory, comparing status, both console channels and every file.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "inspect/display_text.h"
#include "support/test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace fs = std::filesystem;

namespace {

const Bytes kBlank(8192, 0xFF);
const std::string kBanner = "##### Quillmore Flash Tool #####\n";
const std::string kCatalogueRead =
    "====== reading CRC file ======\ncount of valid CRC entries: 29\ncount of lines in file: 32\n";
const Bytes kDefaultFile = defaultCatalogueFile();
const std::string kUpTo4k = "ulimit -f 8; trap '' XFSZ; ";  // a full disk: no file grows past 4096 bytes

std::string bankName(int bank) { return "&flashbank" + hexText(bank, 2) + ".prg"; }
std::string toInput(const std::string& name) { return "====== open file for input ======\nfile: " + name + "\n"; }

// The lines of one bank loader file; rule is "======\n" from verbosity 2 on.
std::string toBank(int bank, const std::string& rule = "") {
    return rule + "====== open file for output ======\n" + rule + "file: " + bankName(bank) +
           "\nbank: " + hexText(bank, 2) + "\n";
}

// The bank loader files for these banks and blocks, and more files.
Files banks(const std::map<int, Bytes>& blocks, Files more = {}) {
    for (const auto& [bank, block] : blocks) more[bankName(bank)] = bankFile(bank, block);
    return more;
}

// The bank loader files for these banks and blocks, and flash.bin with the blocks in their slots.
Files withImage(const std::map<int, Bytes>& blocks) { return banks(blocks, {{"flash.bin", imageWith(blocks)}}); }

// A working directory with the flasher, the default catalogue and these files.
Files ready(Files files) {
    files.insert({{"fcFlash.prg", kFlasher}, {"crc.ini", kDefaultFile}});
    return files;
}

struct RunCase {
    const char* label;
    Files before;  // the working directory
    std::vector<std::string> args;
    int status;
    std::string out, err;
    Files written;                        // files created or replaced; every other file stays as it was
    std::function<void()> setUp = [] {};  // what the working directory holds besides files
    std::string limit = "";               // shell text run before the tool, to limit the size of what it writes
    std::string closed = "";              // redirections that close the tool's standard streams
};

void expectRuns(const std::vector<RunCase>& cases) {
    for (const RunCase& c : cases) {
        ScratchDir dir;
        writeFiles(c.before);
        c.setUp();
        EXPECT_EQ(runFlashtool(c.args, c.limit, c.closed), (RunResult{c.status, c.out, c.err})) << c.label;
        Files expected = c.written;
        expected.insert(c.before.begin(), c.before.end());
        EXPECT_EQ(filesHere(), expected) << c.label;
    }
}

}  // namespace

TEST(Flashtool, EveryMessageAtVerbosityTwoAndThree) {
    const Bytes zeros(8192, 0x00);  // CRC-16 0000
    std::string blockRecords;
    for (int n = 1; n <= 32; ++n) {
        const std::string high = hexText(0x3F + n, 2);  // the record's address high byte, and its checksum
        blockRecords += "Blk " + std::to_string(n) + ": adr=" + high + "00; size=100; checksum=" + high + "\n";
    }
    const std::string head =
        kBanner + "====== reading CRC file ======\ncount of valid CRC entries: 1\n" +
        "count of lines in file: 1\ncreating file FLASH.BIN ok.\n======\n====== open file for input ======\n" +
        "======\nfile: z.bin\n";
    const std::string found = "CRC-16: 0000\n- binary file ok - \nROM name: Zeros\n" + toBank(0x3F, "======\n") +
                              "------ writing buffer ------\nsize: 3\nstart-adr: 0300\n";
    const std::string block = "------ writing buffer ------\nsize: 2000\nstart-adr: 4000\n";
    const std::string slot = "---------\nwriting into file FLASH.BIN, offset=07e000\n";
    const auto folder = [](const Bytes& rom) {
        return Files{{"fcFlash.prg", kFlasher}, {"crc.ini", text("0000; 3f; Zeros\n")}, {"z.bin", rom}};
    };
    expectRuns({
        {"-v2", folder(concat({{1, 8}, zeros})), {"z.bin", "-t", "-v2"}, 0,
            head + "size: 2002\ncutting LOAD address ...\nload address: 0801\n" + found + block + slot, "",
            withImage({{0x3F, zeros}})},
        {"-v3", folder(zeros), {"z.bin", "-t", "-v3"}, 0,
            head + "size: 2000\n" + found + "Blk 1: adr=0300; size=003; checksum=ab\n" + block + blockRecords + slot +
                "fseek() ... ok\nfwrite() ... ok\n",
            "", withImage({{0x3F, zeros}})},
    });
}

TEST(Flashtool, FileLoopBlocksAndTheImage) {
    const Files allBanks = ready({{"memFlashBank_00.bin", kQuickDos}, {"memFlashBank_05.bin", kUnknown},
        {"memFlashBank_22.bin", concat({{0x00, 0x80}, kImprLorom})},
        {"memFlashBank_23.bin", kSpeedDos},  // past the last number
        {"rom.bin", kSpeedDos}});            // after "-": never a ROM file
    const Files two = ready({{"rom1.bin", kQuickDos}, {"rom2.bin", kSpeedDos}, {"bad.bin", Bytes(8193, 0)}});
    const Bytes old = imageWith({{0x01, kUnknown}});
    Files leftovers = ready({{"q.bin", kQuickDos}});
    for (int n = 1; n <= 100; ++n) leftovers["flash.bin.tmp" + std::to_string(n)] = {};
    // crc.ini line 3 is read in two pieces: its first 159 characters, then the rest.
    const std::string lines = "# mine\r\n1111; 01; one\r\nabcd; 05; " + std::string(190, 'L') +
                              "\n2222; 40; too high\n\n1111; 02; one again\nbad line\n# last";
    const Bytes one = forgedBlock(0x1111, 5), other = forgedBlock(0xABCD, 6);
    expectRuns({
        {"all banks: those there, each reported when it cannot be read", allBanks, {"-a", "rom.bin", "-t", "-v0"}, 0,
            kBanner + "size: 2002\n",
            "** cannot open file: memFlashBank_01.bin** cannot open file: memFlashBank_02.bin** unknown block: 00 ...  "
            "(CRC-16:1a2b)\n",
            withImage({{0x24, kQuickDos}, {0x00, kImprLorom}, {0x21, kImprLorom}}),
            [] {
                fs::create_directory("memFlashBank_01.bin");
                makeFifoOrFolder("memFlashBank_02.bin");
                std::error_code noLinks;  // a dangling link counts as missing: no word
                fs::create_symlink("nowhere.bin", "memFlashBank_03.bin", noLinks);
            }},
        {"stops at the first option, which still applies", two, {"rom1.bin", "-b", "rom2.bin"}, 0,
            kBanner + kCatalogueRead + toInput("rom1.bin") + "writing block file: block00.bin\n" +
                "ROM name: QuickDOS HIROM\n" + toBank(0x24),
            "", banks({{0x24, kQuickDos}}, {{"block00.bin", kQuickDos}})},
        {"stops at a rejected file", two, {"rom1.bin", "bad.bin", "rom2.bin", "-t"}, 0,
            kBanner + kCatalogueRead + "creating file FLASH.BIN ok.\n" + toInput("rom1.bin") +
                "ROM name: QuickDOS HIROM\n" + toBank(0x24) + toInput("bad.bin") + "size: 2001\n",
            "** File Size must be 2000 Bytes (or a multiple) ...\n", withImage({{0x24, kQuickDos}})},
        {"an empty ROM file holds no block: nothing to write, no error", ready({{"e.bin", {}}}), {"e.bin", "-v0"}, 0,
            kBanner + "size: 0\n", "", {}},
        {"-sbXX takes one block only", ready({{"rom.bin", concat({kQuickDos, kQuickDos})}}),
            {"rom.bin", "-sb00", "-v0"}, 0, kBanner + "size: 4000\n",
            "** File Size must be 2000 Bytes for option -sbXX ...\n", {}},
        {"block files for unknown and blank blocks", ready({{"r.bin", concat({kUnknown, kBlank})}}), {"r.bin", "-b"}, 0,
            kBanner + kCatalogueRead + toInput("r.bin") + "size: 4000\n=========================\nreading block: 00\n" +
                "writing block file: block00.bin\n=========================\nreading block: 01\n" +
                "writing block file: block01.bin\nblank page (contain $FF only), block: 01 \n",
            "** unknown block: 00 ...  (CRC-16:1a2b)\n", {{"block00.bin", kUnknown}, {"block01.bin", kBlank}}},
        {"a forced blank block goes nowhere", ready({{"b.bin", kBlank}}), {"b.bin", "-sb05", "-t"}, 0,
            kBanner + kCatalogueRead + "creating file FLASH.BIN ok.\n" + toInput("b.bin") +
                "bank: 05\nblank page (contain $FF only), block: 00 \n",
            "", {{"flash.bin", imageWith({})}}},
        {"an image of the right size is kept", ready({{"q.bin", kQuickDos}, {"flash.bin", old}}), {"q.bin", "-t"}, 0,
            kBanner + kCatalogueRead + "opening file FLASH.BIN ok.\n" + toInput("q.bin") +
                "ROM name: QuickDOS HIROM\n" + toBank(0x24),
            "", banks({{0x24, kQuickDos}}, {{"flash.bin", imageWith({{0x01, kUnknown}, {0x24, kQuickDos}})}})},
        {"an image of another size is made anew", ready({{"q.bin", kQuickDos}, {"flash.bin", Bytes(524289, 0)}}),
            {"q.bin", "-t", "-v0"}, 0, kBanner, "", withImage({{0x24, kQuickDos}})},
        {"temporary files left by killed runs stand in no one's way", leftovers, {"q.bin", "-t", "-v0"}, 0, kBanner, "",
            withImage({{0x24, kQuickDos}})},
        {"a bank above 3f has no slot: the block is not kept", ready({{"q.bin", kQuickDos}, {"flash.bin", old}}),
            {"q.bin", "-sb40", "-t", "-v0"}, 1, kBanner, "** bank 40 has no slot in flash.bin\n",
            banks({{0x40, kQuickDos}})},
        {"faulty catalogue lines are reported and skipped; the later line wins",
            {{"fcFlash.prg", kFlasher}, {"crc.ini", text(lines)}, {"r.bin", concat({one, other})}}, {"r.bin"}, 0,
            kBanner + "====== reading CRC file ======\nerror in line 4: rc=-2\nerror in line 5: rc=-4\n" +
                "error in line 8: rc=-2\ncount of valid CRC entries: 3\ncount of lines in file: 9\n" +
                toInput("r.bin") + "size: 4000\n=========================\nreading block: 00\n" +
                "ROM name: one again\n" + toBank(0x02) + "=========================\nreading block: 01\n" +
                "ROM name: " + std::string(80, 'L') + "\n" + toBank(0x05),
            "value for 'bank' must less than 0x40: 40\n", banks({{0x02, one}, {0x05, other}})},
    });
}

TEST(Flashtool, StartUpAndItsEarlyEnds) {
    const std::string usage =
        "Usage:\n Quillmore-flashtool ROMfile  [-opt1...-optM]\n\nOptions:\n"
        " -a            ... all memFlashBank_xx.bin files\n -b            ... write block binary files\n"
        " -sbXX         ... set bank to avoid CRC check (XX=bank)\n"
        " -t            ... write flash file 512KB (for TL866)\n -oFILENAME    ... set name of output file\n"
        " -vN           ... set verbosity N\n\nExample:\n Quillmore-flashtool DD2.bin\n";
    const Files rom{{"rom.bin", kQuickDos}};
    const Bytes bigBody(1022, 0xEA);  // of a 1024-byte flasher: the bank byte still fits after it
    expectRuns({
        {"no arguments", {}, {}, 0, usage, "", {}},
        {"--help writes nothing", ready(rom), {"--help"}, 0, usage, "", {}},
        {"-h writes nothing", ready(rom), {"-h"}, 0, usage, "", {}},
        {"--version writes nothing", ready(rom), {"--version"}, 0, "quillmore-flashtool 1.0.0\n", "", {}},
        {"--help with more is the all-banks mode", ready(rom), {"--help", "-v0"}, 0, kBanner, "", {}},
        {"no flasher", rom, {"rom.bin", "-t", "-sbZZ"}, 0, kBanner, "** file not found: fcFlash.prg", {}},
        {"empty flasher", {{"fcFlash.prg", {}}}, {"rom.bin"}, 0, kBanner, "** error reading file: fcFlash.prg", {}},
        {"flasher too large", {{"fcFlash.prg", Bytes(1025, 1)}}, {"rom.bin"}, 0, kBanner,
            "** File to large: fcFlash.prg; max. filesize=1024", {}},
        {"largest flasher", ready({{"fcFlash.prg", concat({{0x00, 0x03}, bigBody})}, {"rom.bin", kQuickDos}}),
            {"rom.bin", "-v0"}, 0, kBanner, "",
            {{bankName(0x24), concat({recordsOf(0x0300, concat({bigBody, {0x24}})), recordsOf(0x4000, kQuickDos)})}}},
        {"one-byte flasher: no whole load address", {{"fcFlash.prg", {0x01}}}, {"rom.bin"}, 0, kBanner,
            "** file too short: fcFlash.prg; min. filesize=2\n", {}},
        {"two-byte flasher: the bank byte alone", ready({{"fcFlash.prg", {0x00, 0x03}}, {"rom.bin", kQuickDos}}),
            {"rom.bin", "-v0"}, 0, kBanner, "",
            {{bankName(0x24), concat({recordsOf(0x0300, {0x24}), recordsOf(0x4000, kQuickDos)})}}},
#ifndef _WIN32  // links as POSIX makes them
        {"no catalogue to be had: crc.ini a link into a folder that is not there", {{"fcFlash.prg", kFlasher}},
            {"rom.bin", "-v0"}, 1, kBanner, "** error creating file: 'crc.ini'** error - no CRC file ...\n", {},
            [] { std::filesystem::create_symlink("nowhere/crc.ini", "crc.ini"); }},
#endif
        {"bad -sbXX", ready(rom), {"rom.bin", "-t", "-sb5"}, 1, kBanner,
            "** option 'set bank' need a hex byte argument ...\n", {}},
        {"later options win, by prefix and case", ready(rom),
            {"rom.bin", "-v0", "-v2x", "-vb", "-sb0bxyz", "-SB05", "-Tb", "-o", "x"}, 0, kBanner, "",
            banks({{0x0B, kQuickDos}})},
        {"argument one is never an option", {{"fcFlash.prg", kFlasher}}, {"-v3"}, 0,
            kBanner + "====== reading CRC file ======\nmissing CRC file ...\n====== creating default CRC file ======\n",
            "", {{"crc.ini", kDefaultFile}}},
    });
}

TEST(Flashtool, InputsAreNeverWrittenIntoAndOutputsReplacedWhole) {
    const Files image = ready({{"flash.bin", imageWith({{0x01, kQuickDos}})}, {"s.bin", kSpeedDos}});
    const Files earlier = ready({{"q.bin", kQuickDos}, {bankName(0x24), bankFile(0x24, kUnknown)},
        {"block00.bin", kUnknown}, {"flash.bin", Bytes(100, 1)}});
    const Files q = ready({{"q.bin", kQuickDos}});
    std::vector<RunCase> cases{
        // A folder is no regular file on every system; a FIFO would block a reader for ever.
        {"a folder as ROM file", q, {"d.bin", "q.bin", "-v0"}, 0, kBanner, "** cannot open file: d.bin", {},
            [] { fs::create_directory("d.bin"); }},
        {"a folder as crc.ini is never replaced", {{"fcFlash.prg", kFlasher}}, {"-a"}, 1,
            kBanner + "====== reading CRC file ======\n", "** error reading file: crc.ini** error - no CRC file ...\n",
            {}, [] { makeFifoOrFolder("crc.ini"); }},
        {"a ROM named as its own bank loader file", ready({{"&flashbank0b.prg", kSpeedDos}}),
            {"&flashbank0b.prg", "-v0"}, 1, kBanner, "** cannot open file: &flashbank0b.prg",
            banks({{0x18, kSpeedDos}})},
        {"a later ROM, by another name", ready({{"r.bin", kSpeedDos}, {"block00.bin", kQuickDos}}),
            {"r.bin", "./block00.bin", "-b", "-v0"}, 1, kBanner,
            "** cannot open file: block00.bin** cannot open file: block00.bin",
            banks({{0x0B, kSpeedDos}, {0x18, kSpeedDos}, {0x24, kQuickDos}})},
        {"a later ROM that the run itself wrote", ready({{"r.bin", kSpeedDos}}),
            {"r.bin", "./block00.bin", "-b", "-v0"}, 1, kBanner, "** cannot open file: block00.bin",
            banks({{0x0B, kSpeedDos}, {0x18, kSpeedDos}}, {{"block00.bin", kSpeedDos}})},
        {"an image named as a ROM is read as it is, not written into", image, {"flash.bin", "-t", "-v0"}, 1,
            kBanner + "size: 80000\n", "** error creating file: 'flash.bin'", banks({{0x24, kQuickDos}})},
        {"nor one named later by another name", image, {"s.bin", "./flash.bin", "-t", "-v0"}, 1,
            kBanner + "size: 80000\n", "** error creating file: 'flash.bin'",
            banks({{0x0B, kSpeedDos}, {0x18, kSpeedDos}, {0x24, kQuickDos}})},
        {"nor one that is not there yet", q, {"q.bin", "./flash.bin", "-t", "-v0"}, 1, kBanner,
            "** error creating file: 'flash.bin'** cannot open file: ./flash.bin", banks({{0x24, kQuickDos}})},
        {"outputs that are folders", q, {"q.bin", "-b", "-t", "-v0"}, 1, kBanner,
            "** error creating file: 'flash.bin'** cannot open file: block00.bin** cannot open file: &flashbank24.prg",
            {},
            [] {
                for (const char* name : {"block00.bin", "flash.bin", "&flashbank24.prg"}) fs::create_directory(name);
            }},
    };
#ifndef _WIN32
    const Files rom = ready({{"block01.bin", concat({kSpeedDos, kQuickDos})}});
    const Bytes eightQuick = concat({kQuickDos, kQuickDos, kQuickDos, kQuickDos, kQuickDos, kQuickDos, kQuickDos,
        kQuickDos});  // at -v3, more text than the stdout buffer holds
    cases.insert(cases.end(),
        {
            // The bank files of the all-banks mode are inputs too, whatever name reaches them.
            {"all banks: the image as a bank file", image, {"-a", "-t", "-v0"}, 1, kBanner + "size: 80000\n",
                "** error creating file: 'flash.bin'",
                banks({{0x24, kQuickDos}}, {{"memFlashBank_00.bin", image.at("flash.bin")}}),
                [] { fs::create_symlink("flash.bin", "memFlashBank_00.bin"); }},
            {"all banks: a block file as a bank file", rom, {"-a", "-b", "-v0"}, 1, kBanner + "size: 4000\n",
                "** cannot open file: block01.bin",
                banks({{0x0B, kSpeedDos}, {0x18, kSpeedDos}, {0x24, kQuickDos}},
                    {{"block00.bin", kSpeedDos}, {"memFlashBank_00.bin", rom.at("block01.bin")}}),
                [] { fs::create_symlink("block01.bin", "memFlashBank_00.bin"); }},
            {"the flasher as a bank loader file", q, {"q.bin", "-v0"}, 1, kBanner,
                "** cannot open file: &flashbank24.prg", {{"&flashbank24.prg", kFlasher}},
                [] { fs::create_symlink("fcFlash.prg", "&flashbank24.prg"); }},
            {"a full disk keeps the earlier outputs", earlier, {"q.bin", "-b", "-t", "-v0"}, 1, kBanner,
                "** error writing file: rc=0\n** error writing file: block00.bin\n"
                "** error writing file: &flashbank24.prg\n",
                {}, [] {}, kUpTo4k},
            {"a full disk leaves no crc.ini", {{"fcFlash.prg", kFlasher}, {"q.bin", kQuickDos}}, {"q.bin", "-v0"}, 1,
                kBanner, "** error writing file: crc.ini\n** error writing file: &flashbank24.prg\n", {}, [] {},
                "ulimit -f 1; trap '' XFSZ; "},
            {"an output name that is a link loop", q, {"q.bin", "-b", "-v0"}, 1, kBanner,
                "** cannot open file: block00.bin", banks({{0x24, kQuickDos}}),
                [] { fs::create_symlink("block00.bin", "block00.bin"); }},
            {"a slot that cannot be written is reported once",
                ready({{"q.bin", kQuickDos}, {"flash.bin", imageWith({})}}), {"q.bin", "-t", "-v0"}, 1, kBanner,
                "** error writing file: rc=0\n** error writing file: &flashbank24.prg\n", {}, [] {}, kUpTo4k},
            // Started with a standard stream closed: no console text reaches a file the tool opens.
            {"stdout closed", ready({{"q.bin", eightQuick}, {"flash.bin", imageWith({})}}), {"q.bin", "-t", "-v3"}, 0,
                "", "", withImage({{0x24, kQuickDos}}), [] {}, "", " >&-"},
            {"stderr closed", ready({{"u.bin", concat({kUnknown, kQuickDos})}}), {"u.bin", "-t", "-v0"}, 0,
                kBanner + "size: 4000\n", "", withImage({{0x24, kQuickDos}}), [] {}, "", " 2>&-"},
        });
#endif
    expectRuns(cases);
}

TEST(Flashtool, SizesAreToldInSixtyFourBits) {
    ScratchDir dir;  // sparse files: 4 GiB and more, where a 32-bit long cannot hold a position
    writeFiles(ready({{"big.bin", {}}, {"big.prg", bankFile(0x0B, kSpeedDos)}}));  // a bank loader file, and more
    fs::resize_file("big.bin", 0x100002000ull);
    fs::resize_file("big.prg", 0x100000001ull);
    EXPECT_EQ(runFlashtool({"big.bin", "-sb05", "-v0"}),
        (RunResult{0, kBanner + "size: 100002000\n", "** File Size must be 2000 Bytes for option -sbXX ...\n"}));
    EXPECT_PRED2(
        contains, runFlashinfo({"big.prg"}).out, "damaged at offset 9359 (0x248f): larger than a bank loader file");
}
#ifndef _WIN32
TEST(Flashtool, LinksStayLinksAndTheirTargetsAreWritten) {
    ScratchDir dir;
    writeFiles({{"fcFlash.prg", kFlasher}, {"q.bin", kQuickDos}});
    fs::create_directory("out");
    const std::map<std::string, std::string> links{{"crc.ini", "out/default.ini"}, {"flash.bin", "out/image.bin"},
        {bankName(0x24), "out/bank.prg"}, {"block00.bin", "nowhere/block.bin"},
        {"rom.bin", "flash.bin"}};  // a ROM file where the new image would be made: no image
    for (const auto& [link, target] : links) fs::create_symlink(target, link);
    EXPECT_EQ(runFlashtool({"q.bin", "rom.bin", "-b", "-t", "-v0"}).err,
        "** error creating file: 'flash.bin'** cannot open file: block00.bin** cannot open file: rom.bin");
    EXPECT_FALSE(fs::exists("out/image.bin"));
    EXPECT_EQ(runFlashtool({"q.bin", "-t", "-v0"}).status, 0);
    for (const auto& [link, target] : links) EXPECT_TRUE(fs::is_symlink(link)) << link;
    fs::current_path("out");  // the links' targets written, and no temporary file beside them
    EXPECT_EQ(filesHere(), (Files{{"default.ini", kDefaultFile}, {"bank.prg", bankFile(0x24, kQuickDos)},
                               {"image.bin", imageWith({{0x24, kQuickDos}})}}));
}

TEST(Flashtool, ReplacedOutputsKeepModeOwnerAndOtherLinks) {
    ScratchDir dir;
    writeFiles({{"fcFlash.prg", kFlasher}, {"q.bin", kQuickDos}, {bankName(0x24), {}}, {"block00.bin", {}},
        {"flash.bin", imageWith({})}});
    fs::create_hard_link(bankName(0x24), "other.prg");
    fs::create_hard_link("flash.bin", "image.bin");
    std::map<std::string, fs::perms> modes{{bankName(0x24), fs::perms(0660)}, {"block00.bin", fs::perms(0755)},
        {"crc.ini", fs::perms(0640)}};  // crc.ini is new: 0666 less the umask
    std::error_code notYet;             // crc.ini is made by the run
    for (const auto& [name, mode] : modes) fs::permissions(name, mode, notYet);
#ifdef __linux__
    // user::rw- user:4321:rw- group::r-- mask::rw- other::---, as the extended attribute holds it (mode 0660)
    const Bytes list{2, 0, 0, 0, 1, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 6, 0, 0xE1, 0x10, 0, 0, 4, 0, 4, 0, 0xFF,
        0xFF, 0xFF, 0xFF, 0x10, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    const char* key = "system.posix_acl_access";
    const bool listed =
        setxattr(bankName(0x24).c_str(), key, list.data(), list.size(), 0) == 0;  // where the file system has them
    // The same list as the folder's default: new files take it (crc.ini, umask aside), replaced ones never.
    if (listed && setxattr(".", "system.posix_acl_default", list.data(), list.size(), 0) == 0)
        modes["crc.ini"] = fs::perms(0660);
#endif
    const bool root = geteuid() == 0;  // only root may give a file away
    ASSERT_TRUE(!root || chown("block00.bin", 1234, 5678) == 0);
    EXPECT_EQ(runFlashtool({"q.bin", "-b", "-t", "-v0"}, "umask 027; ").status, 0);
    for (const auto& [name, mode] : modes) EXPECT_EQ(fs::status(name).permissions(), mode) << name;
    struct stat owner {};
    EXPECT_TRUE(!root || (stat("block00.bin", &owner) == 0 && owner.st_uid == 1234 && owner.st_gid == 5678));
    EXPECT_EQ(readBytes("other.prg"), Bytes()) << "a replaced file's other names keep the earlier content";
    EXPECT_EQ(readBytes("image.bin"), imageWith({{0x24, kQuickDos}})) << "slots written in place reach every name";
#ifdef __linux__
    Bytes kept(list.size() + 8);
    kept.resize(static_cast<std::size_t>(
        std::max<ssize_t>(0, getxattr(bankName(0x24).c_str(), key, kept.data(), kept.size()))));
    EXPECT_TRUE(!listed || kept == list) << "no user or group gains or loses access";
    EXPECT_LT(getxattr("block00.bin", key, nullptr, 0), 0) << "a file without a list keeps none from its folder";
#endif
}

TEST(Flashtool, ARunThatCannotGiveAFileBackItsOwnerGivesNoOneMoreAccess) {
#ifndef __linux__
    GTEST_SKIP() << "owners and access lists as Linux keeps them";
#else
    if (geteuid() != 0 || runCommand("command -v setpriv").status != 0)
        GTEST_SKIP() << "the tool is run as another user by root (setpriv)";
    ScratchDir dir;
    fs::permissions(".", fs::perms(0777));
    writeFiles(ready({{"q.bin", kQuickDos}, {bankName(0x24), {}}, {"block00.bin", {}}}));
    // root's files, which others may write, its group given more: the run, as nobody, cannot give them back.
    fs::permissions("block00.bin", fs::perms(0676));
    fs::permissions(bankName(0x24), fs::perms(0676));
    // user::rw- user:4321:r-- group::rwx mask::rwx other::rw-, as the extended attribute holds it
    const Bytes list{2, 0, 0, 0, 1, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 4, 0, 0xE1, 0x10, 0, 0, 4, 0, 7, 0, 0xFF,
        0xFF, 0xFF, 0xFF, 0x10, 0, 7, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    const char* key = "system.posix_acl_access";
    const bool listed = setxattr(bankName(0x24).c_str(), key, list.data(), list.size(), 0) == 0;
    EXPECT_EQ(runFlashtool({"q.bin", "-b", "-v0"}, "setpriv --reuid=65534 --regid=65534 --clear-groups "),
        (RunResult{0, kBanner, ""}));
    for (const std::string& name : {std::string("block00.bin"), bankName(0x24)}) {
        struct stat status {};
        ASSERT_EQ(stat(name.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 65534u) << name;
        // The group (nobody's now) gets what others got; with a list, the mode's group bits show its mask.
        EXPECT_EQ(status.st_mode & 0777u, listed && name != "block00.bin" ? 0676u : 0666u) << name;
    }
    if (listed) {
        Bytes narrowed = list;
        narrowed[22] = 6;  // the owning group's entry: rw-, as others
        Bytes kept(list.size() + 8);
        kept.resize(static_cast<std::size_t>(
            std::max<ssize_t>(0, getxattr(bankName(0x24).c_str(), key, kept.data(), kept.size()))));
        EXPECT_TRUE(kept == narrowed) << "the named user keeps r--; the owning group, another now, gets rw-";
    }
#endif
}
#endif
