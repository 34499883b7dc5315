// quillmore-flashdisk end to end, checked against the field's own tools:
// cbmconvert reads back every image it writes, cc1541 lists them and adds
// to them, and the inspector reads cc1541's images as it reads ours. Then
// what it refuses, how it replaces an image, and the damage the inspector
// finds in an image.
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

#include "disk/disk_format.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

std::string bankName(int bank) {
    char name[20];
    (void)std::snprintf(name, sizeof name, "&flashbank%02x.prg", bank);
    return name;
}

// A bank loader file for each bank, each with a block of its own (that of
// the catalogue's SpeedDOS for bank 0b), and files of a chosen size.
Files testFiles(int banks, const std::map<std::string, std::size_t>& others) {
    Files files;
    for (int bank = 0; bank < banks; ++bank) {
        const Bytes block =
            bank == 0x0B ? kSpeedDos : forgedBlock(static_cast<uint16_t>(0x1000 + bank), static_cast<uint8_t>(bank));
        files[bankName(bank)] = bankFile(bank, block);
    }
    for (const auto& [name, size] : others) files[name] = Bytes(size, static_cast<uint8_t>(size));
    return files;
}

Names bankNames(int banks) {
    Names names;
    for (int bank = 0; bank < banks; ++bank) names.push_back(bankName(bank));
    return names;
}

long blocksOf(std::size_t size) { return static_cast<long>((size + 253) / 254); }

// Returns: the files cbmconvert extracts from image, named as it names them.
Files extractedBy(const std::string& image) {
    const fs::path folder = image + ".out";
    fs::create_directory(folder);
    const RunResult run = runCommand("cd \"" + folder.string() + "\" && cbmconvert -v1 -d \"../" + image + "\"");
    EXPECT_EQ(run.status, 0) << image << ": " << run.err;
    Files files;
    for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename().string()] = readBytes(entry);
    fs::remove_all(folder);
    return files;
}

// Returns: the name cbmconvert gives the file named name: lower case, and ".prg" for a PRG file.
std::string extractedName(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".prg") == 0 ? name : name + ".prg";
}

// Returns: the inspector's report on image, without its first line (the image's name).
std::string reportBelowName(const std::string& image) {
    const std::string out = runFlashinfo({image}).out;
    const std::size_t name = out.find(image + ": disk image");
    return name == std::string::npos ? out : out.substr(out.find('\n', name));
}

}  // namespace

TEST(Flashdisk, RoundTripsWithTheFieldsTools) {
#ifdef _WIN32
    GTEST_SKIP() << "cbmconvert and cc1541 are host tools";
#endif
    const long bankBlocks = blocksOf(bankFile(0, kUnknown).size());
    const std::size_t fill = static_cast<std::size_t>(664 - 20 * bankBlocks) * 254;  // fills a .d64 to its last block
    ASSERT_GT(fill, 0u);
    struct Case {
        const char* what;
        std::string image;
        Names inputs;
        std::vector<std::pair<std::string, std::size_t>>
            disks;  // each image written, and how many of the inputs it holds
    };
    Names full = bankNames(20);
    full.push_back("fill.prg");
    const std::vector<Case> cases{
        {"one disk exactly full", "disk.d64", full, {{"disk.d64", 21}}},
        {"one byte more: the last file onto a second disk", "more.d64", full, {{"more-1.d64", 20}, {"more-2.d64", 1}}},
        {"an all-banks run on two .d64", "all.d64", bankNames(35), {{"all-1.d64", 20}, {"all-2.d64", 15}}},
        {"an all-banks run on one .d81, and a name of 16 characters", "all.D81",
            [] {
                Names names = bankNames(35);
                names.push_back("SixteenLetters.x");
                return names;
            }(),
            {{"all.D81", 36}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        writeFiles(testFiles(35, {{"fill.prg", c.image == "more.d64" ? fill + 1 : fill}, {"SixteenLetters.x", 5000}}));
        Names args{c.image};
        args.insert(args.end(), c.inputs.begin(), c.inputs.end());
        const RunResult run = runFlashdisk(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        std::size_t next = 0;
        for (const auto& [image, count] : c.disks) {
            SCOPED_TRACE(image);
            Files expected;
            Names ccArgs{"-n", "quillmore", "-i", "qm"};
            for (std::size_t i = next; i < next + count; ++i) {
                expected[extractedName(c.inputs[i])] = readBytes(c.inputs[i]);
                std::string onDisk = fs::path(extractedName(c.inputs[i])).stem().string();
                ccArgs.insert(ccArgs.end(), {"-f", onDisk, "-w", c.inputs[i]});
            }
            next += count;
            EXPECT_NE(run.out.find(image + ": " + std::to_string(count) + (count == 1 ? " file, " : " files, ")),
                std::string::npos);
            EXPECT_TRUE(extractedBy(image) == expected) << "every file back, byte for byte, under its name";

            // cc1541 writes the same files onto a disk of its own: the inspector
            // finds the same files, blocks and verdicts, and as many blocks free.
            const std::string theirs = image.back() == '4' ? "cc1541.d64" : "cc1541.d81";
            ccArgs.push_back(theirs);
            ASSERT_EQ(runProgram("cc1541", ccArgs).status, 0);
            EXPECT_EQ(reportBelowName(image), reportBelowName(theirs));
            fs::remove(theirs);
        }
        EXPECT_EQ(next, c.inputs.size());
        if (c.disks.size() == 1 && c.image == "disk.d64") {
            EXPECT_EQ(
                run.out.rfind("disk.d64: 21 files, 0 blocks free\n  &flashbank00.prg as \"&FLASHBANK00\", ", 0), 0u);
            // A disk with a BAM that matches its files takes no file more.
            EXPECT_NE(runProgram("cc1541", {"-V", "-f", "extra", "-w", "fill.prg", "disk.d64"}).status, 0);
        }
        if (c.image == "all.D81") {
            // cc1541 adds a file where the BAM says blocks are free, and every file is still whole.
            fs::copy_file("all.D81", "added.d81");  // cc1541 takes only lower-case extensions
            ASSERT_EQ(runProgram("cc1541", {"-f", "extra", "-w", "fill.prg", "added.d81"}).status, 0);
            Files expected = extractedBy("all.D81");
            expected["extra.prg"] = readBytes("fill.prg");
            EXPECT_TRUE(extractedBy("added.d81") == expected);
        }
    }
}

TEST(Flashdisk, RefusesWhatNoDiskTakesAndWritesNothing) {
    const std::string usage =
        "Usage: quillmore-flashdisk [-n NAME] [-i ID] IMAGE.d64|IMAGE.d81 FILE...  (see --help)\n";
    const struct {
        Names args;
        std::string err;
    } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        const RunResult run = runFlashdisk(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err.empty() ? usage : "quillmore-flashdisk: " + c.err);
        EXPECT_TRUE(filesHere() == before);
    }
}

TEST(Flashdisk, ReplacesAnImageWholeOrNotAtAll) {
    ScratchDir dir;
    writeFiles({{"a.prg", bankFile(0x0B, kSpeedDos)}, {"disk.d64", Bytes(5, 5)}});
#ifndef _WIN32
    fs::permissions("disk.d64", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A file limit below an image's size: the old image stays as it was, and the run says so.
    const RunResult cut = runFlashdisk({"disk.d64", "a.prg"}, "ulimit -f 100; trap '' XFSZ;");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err, "quillmore-flashdisk: cannot write disk.d64 in full\n");
    EXPECT_TRUE(filesHere() == (Files{{"a.prg", readBytes("a.prg")}, {"disk.d64", Bytes(5, 5)}}));
#endif
    const RunResult run = runFlashdisk({"-n", "flash disk", "-i", "f1", "disk.d64", "a.prg"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "disk.d64: 1 file, 631 blocks free\n  a.prg as \"A\", 33 blocks\n");
    EXPECT_EQ(readBytes("disk.d64").size(), 174848u);
#ifndef _WIN32
    EXPECT_EQ(
        fs::status("disk.d64").permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
    EXPECT_NE(
        runFlashinfo({"disk.d64"}).out.find("disk name \"FLASH DISK\", id F1, 631 blocks free\n"), std::string::npos);
}

TEST(Flashinfo, NamesTheDamageOfADiskImage) {
    ScratchDir dir;
    writeFiles({{"a.prg", bankFile(0x0B, kSpeedDos)}, {"b.prg", bankFile(0x18, kSpeedDos)}, {"c.prg", Bytes(300, 7)}});
    ASSERT_EQ(runFlashdisk({"disk.d64", "a.prg", "b.prg", "c.prg"}).status, 0);
    const Bytes disk = readBytes("disk.d64");
    const auto at = [](int track, int sector) {
        return static_cast<std::size_t>(sectorOffset(DiskFormat::D64, track, sector));
    };
    const std::size_t directory = at(18, 1), entryB = directory + 32;
    ASSERT_EQ(disk[directory + 3], 17);  // A starts on 17/0, and goes on at 17/10
    ASSERT_EQ(disk[at(17, 0)], 17);
    ASSERT_EQ(disk[at(17, 0) + 1], 10);
    const struct {
        const char* what;
        std::vector<std::pair<std::size_t, uint8_t>> patch;  // bytes set
        std::size_t size;                                    // the image cut to
        std::string damage;
    } cases[] = {
        {"a chain that loops", {{at(17, 10), 17}, {at(17, 10) + 1, 0}}, disk.size(), "A: its chain loops back to 17/0"},
        {"a chain that leaves the disk", {{at(17, 10), 36}, {at(17, 10) + 1, 3}}, disk.size(),
            "A: its chain leaves the disk at 36/3"},
        {"a cross-linked sector", {{entryB + 3, 17}, {entryB + 4, 0}}, disk.size(),
            "sector 17/0 is used by both B and A"},
        {"a wrong BAM count", {{at(18, 0) + 4 * 17, 1}}, disk.size(),
            "track 17: the BAM's count of free sectors is 1, its map shows 0"},
        {"a used sector free in the BAM", {{at(18, 0) + 4 * 17, 1}, {at(18, 0) + 4 * 17 + 1, 1}}, disk.size(),
            "sector 17/0, used by A, is free in the BAM"},
        {"a directory that loops", {{directory, 18}, {directory + 1, 1}}, disk.size(),
            "the directory's chain loops back to 18/1"},
        {"a truncated image", {}, 120000, "the image is cut short: 120000 of 174848 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes damaged(disk.begin(), disk.begin() + static_cast<long>(c.size));
        for (const auto& [offset, value] : c.patch) damaged[offset] = value;
        writeBytes("damaged.d64", damaged);
        const RunResult run = runFlashinfo({"damaged.d64"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "");
        EXPECT_NE(run.out.find("\ndamage: " + c.damage + "\n"), std::string::npos) << run.out;
    }
    const RunResult json = runFlashinfo({"--json", "damaged.d64"});  // the last, cut short
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("{\"file\": \"damaged.d64\", \"kind\": \"disk image\", \"format\": \"d64\", \"ok\": false, "
                            "\"name\": \"QUILLMORE\", \"id\": \"QM\", \"blocksFree\": "),
        std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"damage\": [\"the image is cut short: 120000 of 174848 bytes\""), std::string::npos);
}
