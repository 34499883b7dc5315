// quillmore-flashdisk end to end, against the field's own tools: cbmconvert
// reads back every file of every image it writes, cc1541 adds a file where
// the BAM says a block is free, and the reader finds on cc1541's images of
// the same files what it finds on ours: bytes, blocks and blocks free (files
// that end at a sector's end, a byte past it, of one byte, of 276 blocks).
// Then what it refuses, how it replaces an image, and the damage the
// inspector finds in an image.
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

#include "disk/disk_format.h"
#include "disk/disk_reader.h"
#include "inspect/display_text.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

// Returns: the files cbmconvert extracts from image (named in lower case, ".prg" added to a PRG file's name).
Files extractedBy(const std::string& image) {
    fs::create_directory("out");
    EXPECT_EQ(runCommand("cd out && cbmconvert -v1 -d \"../" + image + "\"").status, 0) << image;
    fs::current_path("out");
    const Files files = filesHere();
    fs::current_path("..");
    fs::remove_all("out");
    return files;
}

Names joined(Names first, const Names& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// Returns: what the reader finds on image: blocks free, damage, each file's name, type, blocks and whether its
// chain ended in the directory's order, and the files' bytes, named as cbmconvert names them.
auto contentsOf(const std::string& image) {
    const Bytes bytes = readBytes(image);
    DiskShape shape;
    EXPECT_TRUE(diskShapeOf(static_cast<int64_t>(bytes.size()), 0, shape));
    const DiskReport report = readDiskImage(bytes.data(), bytes.size(), shape);
    std::vector<std::tuple<std::string, uint8_t, long, bool>> entries;
    Files files;
    for (const DiskFile& file : report.files) {
        entries.emplace_back(file.name, file.type, file.blocks, file.whole);
        std::string name = file.name;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        files[name + ".prg"] = file.data;
    }
    return std::make_tuple(report.blocksFree, report.damage, entries, files);
}

}  // namespace

TEST(Flashdisk, RoundTripsWithTheFieldsTools) {
#ifdef _WIN32
    GTEST_SKIP() << "cbmconvert and cc1541 are host tools";
#endif
    Files files;
    Names banks;  // a bank loader file of 33 blocks for each bank, each block of its own
    for (int bank = 0; bank < 35; ++bank) {
        banks.push_back("&flashbank" + hexText(static_cast<unsigned>(bank), 2) + ".prg");
        files[banks.back()] = bankFile(bank,
            bank == 0x0B ? kSpeedDos : forgedBlock(static_cast<uint16_t>(0x1000 + bank), static_cast<uint8_t>(bank)));
    }
    ASSERT_EQ(files[banks[0]].size() / 254, 32u);
    const std::size_t fill = (664 - 20 * 33) * 254;  // what 20 of them leave of a .d64, to its last block
    files.insert({{"fill.prg", Bytes(fill, 1)}, {"more.prg", Bytes(fill + 1, 2)}, {"sixteenletters16", Bytes(70000, 3)},
        {"one", {7}}});
    const Names twenty(banks.begin(), banks.begin() + 20);
    // what, the image named, the inputs, and each image written with how many inputs it holds
    const std::vector<std::tuple<const char*, std::string, Names, std::map<std::string, std::size_t>>> cases{
        {"one .d64 exactly full", "disk.d64", joined(twenty, {"fill.prg"}), {{"disk.d64", 21}}},
        {"one byte more: the last file onto a second disk", "disk.d64", joined(twenty, {"more.prg"}),
            {{"disk-1.d64", 20}, {"disk-2.d64", 1}}},
        {"35 files, one of a byte and one of 276 blocks named in 16 characters on one .d81", "disk.D81",
            joined(banks, {"one", "sixteenletters16"}), {{"disk.D81", 37}}},
    };
    for (const auto& [what, named, inputs, disks] : cases) {
        SCOPED_TRACE(what);
        ScratchDir dir;
        writeFiles(files);
        const RunResult run = runFlashdisk(joined({named}, inputs));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        auto input = inputs.begin();
        for (const auto& [image, count] : disks) {
            SCOPED_TRACE(image);
            Files expected;
            Names theirs{"-n", "quillmore", "-i", "qm"};  // cc1541 writes the same files onto a disk of its own
            for (const auto last = input + static_cast<long>(count); input != last; ++input) {
                const std::size_t prg = input->rfind(".prg");
                expected[prg == std::string::npos ? *input + ".prg" : *input] = files.at(*input);
                theirs.insert(theirs.end(), {"-f", input->substr(0, prg), "-w", *input});
            }
            EXPECT_TRUE(extractedBy(image) == expected);
            EXPECT_PRED2(
                contains, run.out, image + ": " + std::to_string(count) + (count == 1 ? " file, " : " files, "));
            theirs.push_back(image.back() == '4' ? "cc1541.d64" : "cc1541.d81");
            ASSERT_EQ(runProgram("cc1541", theirs).status, 0);
            const auto ours = contentsOf(image);
            EXPECT_TRUE(std::get<3>(ours) == expected) << "the reader takes back every byte";
            EXPECT_TRUE(ours == contentsOf(theirs.back())) << "the same files, bytes and blocks";

            // cc1541 (which takes only lower-case extensions) adds a file where the BAM says blocks are free.
            const std::string copy = "added" + theirs.back().substr(6);
            fs::copy_file(image, copy);
            const bool added = runProgram("cc1541", {"-f", "extra", "-w", "fill.prg", copy}).status == 0;
            EXPECT_EQ(added, run.out.find(image + ": 21 files, 0 blocks free\n") == std::string::npos);
            if (added) expected["extra.prg"] = files.at("fill.prg");
            EXPECT_TRUE(extractedBy(copy) == expected) << "every file still whole";
            fs::remove(copy);
            fs::remove(theirs.back());
        }
    }
}

TEST(Flashdisk, RefusesWhatNoDiskTakesAndWritesNothing) {
    const std::string usage =
        "Usage: quillmore-flashdisk [-n NAME] [-i ID] IMAGE.d64|IMAGE.d81 FILE...  (see --help)\n";
    const std::vector<std::pair<Names, std::string>> cases{
        {{"disk.d64", "abcdefghijklmnopq.prg"},
            "abcdefghijklmnopq.prg: its name on the disk, abcdefghijklmnopq, is longer than 16 characters\n"},
        {{"disk.d64", "a.prg", "a,b"}, "a,b: its name holds a character the drive cannot show or load: ','\n"},
        {{"disk.d64", "a.prg", "A.PRG"}, "A.PRG: its name on the disk, A, is a.prg's too\n"},
        {{"disk.d64", "big"}, "big: more than a d64 disk holds (664 blocks of 254 bytes)\n"},
        {{"disk.d64", ".prg"}, ".prg: no name is left for the disk\n"},
        {{"disk.d64", "$.prg"},
            "$.prg: its name on the disk, $, starts with '$', which the drive reads as the directory: LOAD\"$\" lists "
            "it\n"},
        {{"disk.d64", "@x.prg"},
            "@x.prg: its name on the disk, @x, starts with '@', which the drive reads as a command: save and "
            "replace\n"},
#ifndef _WIN32
        {{"disk.d64", "a\\b.prg"}, "a\\b.prg: its name holds a character the drive cannot show or load: '\\'\n"},
        {{"disk.d64", "0:x.prg"}, "0:x.prg: its name holds a character the drive cannot show or load: ':'\n"},
        {{"disk.d64", "e\x1b[0m\n"},
            "e\\x1b[0m\\x0a: its name holds a character the drive cannot show or load: \\x1b\n"},
#endif
        {{"disk.d64", "a.prg", "gone.prg"}, "gone.prg: no such file\n"},
        {{"disk.d64", "folder"}, "folder: not a regular file\n"},
        {{"a.d64", "a.d64"}, "a.d64 is a file to put on the disk: nothing written\n"},
        {{"-n", "a:b", "disk.d64", "a.prg"}, "the disk's name must be 1 to 16 characters the drive shows: 'a:b'\n"},
        {{"-i", "q", "disk.d64", "a.prg"}, "the disk's ID must be two characters the drive shows: 'q'\n"},
        {{"disk.d64", "-i"}, "option '-i' needs a value (see --help)\n"},
        {{"-x", "disk.d64", "a.prg"}, "unknown option '-x' (see --help)\n"},
        {{"disk.img", "a.prg"}, ""},
        {{"disk.d64"}, ""},
    };
    ScratchDir dir;
    writeFiles({{"a.prg", Bytes(10, 1)}, {"A.PRG", Bytes(10, 2)}, {"a,b", {}}, {"abcdefghijklmnopq.prg", {}},
        {"big", Bytes(664 * 254 + 1, 0)}, {"a.d64", Bytes(3, 3)}, {".prg", {}}, {"$.prg", {}}, {"@x.prg", {}}});
#ifndef _WIN32
    writeFiles({{"a\\b.prg", {}}, {"0:x.prg", {}}, {"e\x1b[0m\n", {}}});
#endif
    fs::create_directory("folder");
    const Files before = filesHere();
    for (const auto& [args, err] : cases) {
        SCOPED_TRACE(args.front() + " " + args.back());
        EXPECT_EQ(runFlashdisk(args), (RunResult{2, "", err.empty() ? usage : "quillmore-flashdisk: " + err}));
        EXPECT_TRUE(filesHere() == before);
    }
    // Wherever they stand, these end the run there: the usage or the version, and nothing written.
    for (const auto& [option, first] : std::map<std::string, std::string>{{"--help", usage.substr(0, 26)},
             {"-h", usage.substr(0, 26)}, {"--version", "quillmore-flashdisk 1.0.0\n"}}) {
        const RunResult run = runFlashdisk({"disk.d64", "a.prg", option});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.substr(0, 26), first) << option;
        EXPECT_TRUE(filesHere() == before);
    }
    // As much as a disk holds is not more than it holds.
    writeBytes("whole", Bytes(664 * 254, 0));
    EXPECT_EQ(runFlashdisk({"full.d64", "whole"}),
        (RunResult{0, "full.d64: 1 file, 0 blocks free\n  whole as \"WHOLE\", 664 blocks\n", ""}));
}

TEST(Flashdisk, ReplacesAnImageWholeOrNotAtAll) {
    ScratchDir dir;
    writeFiles({{"a.prg", bankFile(0x0B, kSpeedDos)}, {"disk.d81", Bytes(5, 5)}});
#ifndef _WIN32
    fs::permissions("disk.d81", fs::perms(0640));
    // A file limit below an image's size: the old image stays as it was, and the run says so.
    EXPECT_EQ(runFlashdisk({"disk.d81", "a.prg"}, "ulimit -f 100; trap '' XFSZ;"),
        (RunResult{1, "", "quillmore-flashdisk: cannot write disk.d81 in full: no image of the set written\n"}));
    EXPECT_TRUE(filesHere() == (Files{{"a.prg", readBytes("a.prg")}, {"disk.d81", Bytes(5, 5)}}));
#endif
    fs::create_directory("sub");
    writeFiles({{"sub/b.prg", bankFile(0x05, kSpeedDos)}, {"e", {}}, {"f.bin", imageWith({{0x07, kUnknown}})}});
    EXPECT_EQ(runFlashdisk({"-n", "flash disk", "-i", "f1", "disk.d81", "a.prg", "sub/b.prg", "e", "f.bin"}),
        (RunResult{0,
            "disk.d81: 4 files, 1028 blocks free\n  a.prg as \"A\", 33 blocks\n  sub/b.prg as \"B\", 33 blocks\n"
            "  e as \"E\", 1 block\n  f.bin as \"F.BIN\", 2065 blocks\n",
            ""}));
#ifndef _WIN32
    EXPECT_EQ(fs::status("disk.d81").permissions(), fs::perms(0640));
#endif
    EXPECT_EQ(runFlashinfo({"disk.d81"}).out,
        "catalogue: built-in default\ndisk.d81: disk image, 80 tracks (.d81)\n"
        "disk name \"FLASH DISK\", id F1, 1028 blocks free\n"
        "name   type  blocks  kind              bank  rom                 check\n"
        "A      prg   33      bank loader file  0b    SpeedDOS 40T HIROM  ok\n"
        "B      prg   33      bank loader file  05    SpeedDOS 40T HIROM  bank not named for this ROM (0b 18)\n"
        "E      prg   1       other             -     -                   not a file of quillmore-flashtool\n"
        "F.BIN  prg   2065    flash image       -     -                   unknown: 1, misplaced: 0\n"
        "files: 4, good: 2, damage found: 0\n");
}

TEST(Flashdisk, ASetOfDisksIsReplacedWholeOrNotAtAll) {
    ScratchDir dir;
    Names loaders;  // 33 blocks each: 20 to a .d64
    for (int i = 0; i < 45; ++i) {
        loaders.push_back("l" + std::to_string(i) + ".prg");
        writeBytes(loaders.back(), Bytes(8344, static_cast<uint8_t>(i)));
    }
    const Names five(loaders.begin(), loaders.begin() + 25);
    ASSERT_EQ(runFlashdisk(joined({"banks.d64"}, loaders)).status, 0);  // three disks
    const Bytes third = readBytes("banks-3.d64");
    // A shorter set replaces the first two and names the third, which it leaves as it was.
    const RunResult shorter = runFlashdisk(joined({"banks.d64"}, five));
    EXPECT_EQ(shorter.status, 0);
    EXPECT_PRED2(contains, shorter.out, "banks-2.d64: 5 files, 499 blocks free\n");
    EXPECT_PRED2(contains, shorter.out, "\nbanks-3.d64 is left from an earlier run: not part of this set\n");
    EXPECT_EQ(shorter.out.find(" is left from"), shorter.out.rfind(" is left from")) << "only banks-3.d64";
    EXPECT_TRUE(readBytes("banks-3.d64") == third);
    // When the second disk cannot be written, the first is not replaced either.
    const Bytes first = readBytes("banks-1.d64");
    fs::remove("banks-2.d64");
    fs::create_directory("banks-2.d64");
    EXPECT_EQ(runFlashdisk(joined({"banks.d64"}, Names(loaders.rbegin(), loaders.rbegin() + 25))),
        (RunResult{1, "", "quillmore-flashdisk: cannot create banks-2.d64: no image of the set written\n"}));
    EXPECT_TRUE(readBytes("banks-1.d64") == first);
    // A full directory: the 145th file of a .d64 and the 297th of a .d81 go onto a second disk.
    Names small;
    for (int i = 0; i < 297; ++i) {
        small.push_back("s" + std::to_string(i));
        writeBytes(small.back(), {static_cast<uint8_t>(i)});
    }
    EXPECT_PRED2(contains, runFlashdisk(joined({"full.d64"}, Names(small.begin(), small.begin() + 145))).out,
        "full-1.d64: 144 files, 520 blocks free\n");
    EXPECT_PRED2(contains, runFlashdisk(joined({"full.d81"}, small)).out, "full-1.d81: 296 files, 2864 blocks free\n");
    EXPECT_EQ(runFlashinfo({"full-2.d81"}).status, 0);
#ifndef _WIN32
    // Its report is what the run is for: one that cannot be written is a failure. A file the system sizes
    // at 0 is read to its end.
    for (const auto& [after, why] : std::map<std::string, std::string>{
             {" >&-", "Bad file descriptor"}, {" >/dev/full", "No space left on device"}}) {
        EXPECT_EQ(runFlashdisk({"proc.d64", "/proc/version"}, "", after),
            (RunResult{1, "", "quillmore-flashdisk: cannot write to standard output: " + why + "\n"}));
    }
    const Bytes proc = readBytes("proc.d64");
    DiskShape shape;
    ASSERT_TRUE(diskShapeOf(static_cast<int64_t>(proc.size()), 0, shape));
    const DiskReport report = readDiskImage(proc.data(), proc.size(), shape);
    ASSERT_EQ(report.files.size(), 1u);
    EXPECT_EQ(report.files[0].name, "VERSION");
    EXPECT_GT(report.files[0].data.size(), 10u);
#endif
}

TEST(Flashinfo, NamesTheDamageOfADiskImage) {
    ScratchDir dir;
    writeFiles({{"a.prg", bankFile(0x0B, kSpeedDos)}, {"b.prg", bankFile(0x18, kSpeedDos)}, {"c.prg", Bytes(300, 7)}});
    ASSERT_EQ(runFlashdisk({"disk.d64", "a.prg", "b.prg", "c.prg"}).status, 0);
    const Bytes disk = readBytes("disk.d64");
    const auto at = [](int track, int sector) { return sectorOffset(DiskFormat::D64, track, sector); };
    const long header = at(18, 0), directory = at(18, 1), entryB = directory + 32, entryD = directory + 96;
    const long bam17 = header + 4 * 17, errors = kD64Size;  // the error bytes follow the sectors: one each
    ASSERT_EQ(Bytes(disk.begin() + at(17, 0), disk.begin() + at(17, 0) + 2), (Bytes{17, 10})) << "A: 17/0, then 17/10";
    // what, the bytes set (an offset past the sectors appends error bytes, all $01 but those set), the line of
    // the report that says it, and the status: what only lost blocks or a separator is, is not damage
    std::vector<std::tuple<const char*, std::map<long, uint8_t>, std::string, int>> cases{
        {"a chain that loops", {{at(17, 10), 17}, {at(17, 10) + 1, 0}}, "damage: A: its chain loops back to 17/0", 1},
        {"a chain that leaves the disk", {{at(17, 10), 36}, {at(17, 10) + 1, 3}},
            "damage: A: its chain leaves the disk at 36/3", 1},
        {"a cross-linked sector", {{entryB + 3, 17}, {entryB + 4, 0}}, "damage: sector 17/0 is used by both B and A",
            1},
        {"a wrong BAM count", {{bam17, 1}}, "damage: track 17: the BAM's count of free sectors is 1, its map shows 0",
            1},
        {"a used sector free in the BAM", {{bam17, 1}, {bam17 + 1, 1}},
            "damage: sector 17/0, used by A, is free in the BAM", 1},
        {"a directory that loops", {{directory, 18}, {directory + 1, 1}},
            "damage: the directory's chain loops back to 18/1", 1},
        {"a block count the chain does not have", {{entryB + 30, 34}},
            "damage: B: the directory says 34 blocks, its chain has 33", 1},
        {"a header without its DOS version", {{header + 2, 0x42}},
            "damage: the header (18/0) has no DOS version: $42 where a .d64 has $41", 1},
        {"a header that leads elsewhere", {{header + 1, 4}},
            "damage: the header (18/0) does not lead to the directory at 18/1 but to 18/4", 1},
        {"a sector of a file marked bad", {{errors + at(17, 10) / 256, 0x05}},
            "damage: A: its sector 17/10 is marked bad in the image's error bytes ($05: read error 23)", 1},
        {"a sector of the directory marked bad", {{errors + directory / 256, 0x02}},
            "damage: the directory: its sector 18/1 is marked bad in the image's error bytes ($02: read error 20)", 1},
        {"a free sector marked bad harms no file", {{errors + 3, 0x05}}, "files: 3, good: 3, damage found: 0", 0},
        {"an error byte past the codes that mark bad", {{errors + at(17, 10) / 256, 0x10}},
            "files: 3, good: 3, damage found: 0", 0},
        {"a block marked used that no file holds", {{header + 4, 20}, {header + 5, 0xFE}},
            "lost: 1 block marked used in the BAM that no file holds (1/0): the drive's validate command frees them",
            0},
        {"a file not closed", {{directory + 2, 0x01}},
            "\nA     *seq  33      bank loader file  0b    SpeedDOS 40T HIROM  ok\n", 0},
        {"a separator (DEL at 0/0) and a locked file", {{entryD + 2, 0x80}, {entryD + 5, '-'}, {directory + 2, 0xC2}},
            "\nA     prg<  33      bank loader file  0b    SpeedDOS 40T HIROM  ok\n", 0},
    };
    // Every code that marks a sector bad, with the 1541's error number for it ($0C-$0E stand for none); first,
    // as what follows reads the last case's image.
    const std::array<int, 16> driveError{0, 0, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 0, 0, 0, 74};
    for (int code = 0x02; code <= 0x0F; ++code) {
        char told[96];
        (void)std::snprintf(
            told, sizeof told, driveError[code] != 0 ? "($%02X: read error %d)" : "($%02X)\n", code, driveError[code]);
        cases.emplace(cases.begin(), "an error byte", std::map<long, uint8_t>{{errors + at(17, 10) / 256, code}},
            std::string("damage: A: its sector 17/10 is marked bad in the image's error bytes ") + told, 1);
    }
    for (const auto& [what, patch, line, status] : cases) {
        SCOPED_TRACE(what + (" " + line));
        Bytes damaged = disk;
        std::fill(
            damaged.begin() + entryD + 6, damaged.begin() + entryD + 21, 0xA0);  // a name "-" for an entry made there
        for (const auto& [offset, value] : patch) {
            if (offset >= errors) damaged.resize(static_cast<std::size_t>(kD64WithErrorsSize), 0x01);
            damaged[static_cast<std::size_t>(offset)] = value;
        }
        writeBytes("damaged.d64", damaged);
        const RunResult run = runFlashinfo({"damaged.d64"});
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(run.err, "");
        EXPECT_PRED2(contains, run.out, line + (line.back() == '\n' ? "" : "\n"));
    }
    // Told by their size: an image cut short (and the header there, or not), or all one byte.
    // what, the image, the lines of the report that say it
    const std::vector<std::tuple<const char*, Bytes, std::string>> sized{
        {"cut short", Bytes(disk.begin(), disk.begin() + 120000),
            "damage: the image is cut short: 120000 of 174848 bytes\n"},
        {"cut before its header", Bytes(disk.begin(), disk.begin() + 50000),
            "damage: the image is cut short before its header: 50000 of 174848 bytes\nfiles: 0"},
        {"all $00", Bytes(kD64Size, 0x00),
            "35 tracks (.d64)\ndisk name "
            "\"\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\", id "
            "\\x00\\x00, 0 blocks free\ndamage: the header (18/0) has no DOS version: $00 where a .d64 has $41\n"},
        {"all $FF, with error bytes that say every sector bad", Bytes(kD64WithErrorsSize, 0xFF),
            "35 tracks with error bytes (.d64)"},
        {"all $05: every sector marked bad", concat({disk, Bytes(683, 0x05)}),
            "damage: the header (18/0): its sector 18/0 is marked bad in the image's error bytes ($05: read error 23)"},
    };
    for (const auto& [what, image, lines] : sized) {
        SCOPED_TRACE(what);
        writeBytes("sized.d64", image);
        const RunResult run = runFlashinfo({"sized.d64"});
        EXPECT_EQ(run.status, 1);
        EXPECT_PRED2(contains, run.out, "sized.d64: disk image, ");
        EXPECT_PRED2(contains, run.out, lines);
    }
    const RunResult report = runFlashinfo({"--json", "damaged.d64"});
    EXPECT_PRED2(contains, report.out,
        json("{'file': 'damaged.d64', 'kind': 'disk image', 'format': 'd64', 'tracks': 35, 'errorBytes': false, "
             "'longBam': null, 'ok': true, 'name': 'QUILLMORE', 'id': 'QM', 'blocksFree': 596,\n   'damage': [],\n   "
             "'lost': {'blocks': 0, 'sectors': []},"));
    EXPECT_PRED2(contains, report.out,
        json("{'name': '-', 'type': 'del', 'blocks': 0, 'kind': null, 'ok': true, "
             "'checked': false, 'chained': false}"));
}

TEST(Flashinfo, ReadsFortyTrackImagesOfBothLayouts) {
#ifdef _WIN32
    GTEST_SKIP() << "cc1541 is a host tool";
#endif
    ScratchDir dir;
    writeFiles({{"big.prg", Bytes(170000, 1)}, {"a.prg", bankFile(0x0B, kSpeedDos)}});
    // cc1541 fills tracks 1-35 with the first file: the bank loader file lies on tracks 36 and 37.
    for (const auto& [option, layout] : std::map<std::string, std::string>{{"-4", "SpeedDOS"}, {"-5", "DolphinDOS"}}) {
        SCOPED_TRACE(layout);
        ASSERT_EQ(runProgram("cc1541", {option, "-n", "forty", "-i", "qm", "-f", "big", "-w", "big.prg", "-f", "a",
                                           "-w", "a.prg", "forty.d64"})
                      .status,
            0);
        const RunResult run = runFlashinfo({"forty.d64"});
        EXPECT_EQ(run.status, 0);
        EXPECT_PRED2(contains, run.out,
            "forty.d64: disk image, 40 tracks, the BAM of tracks 36-40 as " + layout +
                " keeps it (.d64)\ndisk name \"FORTY\", id QM, 46 blocks free\n");
        EXPECT_PRED2(contains, run.out, "A     prg   33      bank loader file  0b    SpeedDOS 40T HIROM  ok\n");
        // With error bytes, one of which marks a sector of the bank loader file bad.
        Bytes errors = concat({readBytes("forty.d64"), Bytes(768, 0x01)});
        errors[kD64LongSize + sectorOffset(DiskFormat::D64, 37, 0) / 256] = 0x09;
        // Past DolphinDOS's five entries, where SpeedDOS keeps its own: not read as part of them. Where
        // DolphinDOS keeps them, on a SpeedDOS disk, four that could be a BAM's after one that cannot: not a BAM.
        const long header = sectorOffset(DiskFormat::D64, 18, 0);
        if (layout == "DolphinDOS") errors[header + 0xC0] = 0x11;
        if (layout == "SpeedDOS") errors[header + 0xAC] = errors[header + 0xB0] = errors[header + 0xB1] = 0x01;
        writeBytes("errors.d64", errors);
        const RunResult bad = runFlashinfo({"--json", "errors.d64"});
        EXPECT_EQ(bad.status, 1);
        EXPECT_PRED2(contains, bad.out,
            json("'format': 'd64', 'tracks': 40, 'errorBytes': true, 'longBam': '" + layout + "', 'ok': false"));
        EXPECT_PRED2(contains, bad.out,
            "\"damage\": [\"A: its sector 37/0 is marked bad in the image's error bytes ($09: read error 27)\"]");
        fs::remove("forty.d64");
    }
}
