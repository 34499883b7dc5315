// quillmore-flashdisk end to end, against the field's own tools: cbmconvert
// reads back every file of every image it writes, cc1541 adds a file where
// the BAM says a block is free, and the reader finds on cc1541's images of
// the same files what it finds on ours: bytes, blocks and blocks free (files
// that end at a sector's end, a byte past it, of one byte, of 276 blocks).
// Then what it refuses, how it replaces an image, and the damage the
// inspector finds in an image.
#include <cctype>
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
    const DiskReport report =
        readDiskImage(bytes.data(), bytes.size(), image.back() == '4' ? DiskFormat::D64 : DiskFormat::D81);
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
        {{"disk.d64", "big"}, "big: 168657 bytes, more than a d64 disk holds (664 blocks of 254)\n"},
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
        {"big", Bytes(664 * 254 + 1, 0)}, {"a.d64", Bytes(3, 3)}});
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
}

TEST(Flashdisk, ReplacesAnImageWholeOrNotAtAll) {
    ScratchDir dir;
    writeFiles({{"a.prg", bankFile(0x0B, kSpeedDos)}, {"disk.d81", Bytes(5, 5)}});
#ifndef _WIN32
    fs::permissions("disk.d81", fs::perms(0640));
    // A file limit below an image's size: the old image stays as it was, and the run says so.
    EXPECT_EQ(runFlashdisk({"disk.d81", "a.prg"}, "ulimit -f 100; trap '' XFSZ;"),
        (RunResult{1, "", "quillmore-flashdisk: cannot write disk.d81 in full\n"}));
    EXPECT_TRUE(filesHere() == (Files{{"a.prg", readBytes("a.prg")}, {"disk.d81", Bytes(5, 5)}}));
#endif
    fs::create_directory("sub");
    writeFiles({{"sub/b.prg", bankFile(0x05, kSpeedDos)}, {"e", {}}, {"f.bin", imageWith({{0x07, kUnknown}})}});
    EXPECT_EQ(runFlashdisk({"-n", "flash disk", "-i", "f1", "disk.d81", "a.prg", "sub/b.prg", "e", "f.bin"}),
        (RunResult{0,
            "disk.d81: 4 files, 1028 blocks free\n  a.prg as \"A\", 33 blocks\n  sub/b.prg as \"B\", 33 blocks\n"
            "  e as \"E\", 1 blocks\n  f.bin as \"F.BIN\", 2065 blocks\n",
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
        "E      prg   1       ROM file          -     -                   no whole block\n"
        "F.BIN  prg   2065    flash image       -     -                   unknown: 1, misplaced: 0\n"
        "files: 4, good: 1, damage found: 0\n");
}

TEST(Flashinfo, NamesTheDamageOfADiskImage) {
    ScratchDir dir;
    writeFiles({{"a.prg", bankFile(0x0B, kSpeedDos)}, {"b.prg", bankFile(0x18, kSpeedDos)}, {"c.prg", Bytes(300, 7)}});
    ASSERT_EQ(runFlashdisk({"disk.d64", "a.prg", "b.prg", "c.prg"}).status, 0);
    const Bytes disk = readBytes("disk.d64");
    const auto at = [](int track, int sector) { return sectorOffset(DiskFormat::D64, track, sector); };
    const long directory = at(18, 1), entryB = directory + 32, bam17 = at(18, 0) + 4 * 17;
    ASSERT_EQ(Bytes(disk.begin() + at(17, 0), disk.begin() + at(17, 0) + 2), (Bytes{17, 10})) << "A: 17/0, then 17/10";
    // what, the bytes set, the damage named
    const std::vector<std::tuple<const char*, std::map<long, uint8_t>, std::string>> cases{
        {"a chain that loops", {{at(17, 10), 17}, {at(17, 10) + 1, 0}}, "A: its chain loops back to 17/0"},
        {"a chain that leaves the disk", {{at(17, 10), 36}, {at(17, 10) + 1, 3}},
            "A: its chain leaves the disk at 36/3"},
        {"a cross-linked sector", {{entryB + 3, 17}, {entryB + 4, 0}}, "sector 17/0 is used by both B and A"},
        {"a wrong BAM count", {{bam17, 1}}, "track 17: the BAM's count of free sectors is 1, its map shows 0"},
        {"a used sector free in the BAM", {{bam17, 1}, {bam17 + 1, 1}}, "sector 17/0, used by A, is free in the BAM"},
        {"a directory that loops", {{directory, 18}, {directory + 1, 1}}, "the directory's chain loops back to 18/1"},
    };
    for (const auto& [what, patch, damage] : cases) {
        Bytes damaged = disk;
        for (const auto& [offset, value] : patch) damaged[static_cast<std::size_t>(offset)] = value;
        writeBytes("damaged.d64", damaged);
        const RunResult run = runFlashinfo({"damaged.d64"});
        EXPECT_EQ(run.status, 1) << what;
        EXPECT_EQ(run.err, "") << what;
        EXPECT_PRED2(contains, run.out, "\ndamage: " + damage + "\n");
    }
    writeBytes("damaged.d64", Bytes(disk.begin(), disk.begin() + 120000));  // an image cut short, told by its header
    EXPECT_PRED2(
        contains, runFlashinfo({"damaged.d64"}).out, "\ndamage: the image is cut short: 120000 of 174848 bytes\n");
    const RunResult report = runFlashinfo({"--json", "damaged.d64"});
    EXPECT_EQ(report.status, 1);
    EXPECT_PRED2(contains, report.out,
        json("{'file': 'damaged.d64', 'kind': 'disk image', 'format': 'd64', 'ok': false, 'name': 'QUILLMORE', 'id': "
             "'QM', 'blocksFree': "));
    EXPECT_PRED2(contains, report.out, json("'damage': ['the image is cut short: 120000 of 174848 bytes'"));
}
