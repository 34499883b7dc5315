// End to end: the built tool's start-up, up to and including the catalogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/run_binary.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kBanner = "##### Quillmore Flash Tool #####\n";

}  // namespace

TEST(StartUp, NoArgumentsPrintsUsageOnly) {
    ScratchDir dir;
    const RunResult run = runFlashtool({});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.substr(0, 7), "Usage:\n");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 13);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::is_empty(dir.path())) << "no file is touched";
}

TEST(StartUp, BadSetBankEndsWithStatusOneBeforeTheCatalogue) {
    ScratchDir dir;
    writeText("fcFlash.prg", std::string("\x00\x03\xaa\xbb", 4));
    const RunResult run = runFlashtool({"rom.bin", "-sbZZ"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(run.err, "** option 'set bank' need a hex byte argument ...\n");
    EXPECT_FALSE(fs::exists("crc.ini"));
}

TEST(StartUp, UncreatableCatalogueEndsWithStatusOne) {
    ScratchDir dir;
    writeText("fcFlash.prg", std::string("\x00\x03\xaa\xbb", 4));
    fs::create_directory("crc.ini");
    const RunResult run = runFlashtool({"rom.bin", "-t"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, std::string(kBanner) +
                           "====== reading CRC file ======\nmissing CRC file ...\n"
                           "====== creating default CRC file ======\n");
    EXPECT_EQ(run.err, "** error creating file: 'crc.ini'** error - no CRC file ...\n");
    EXPECT_FALSE(fs::exists("flash.bin")) << "the image is not opened before a catalogue exists";
}

TEST(StartUp, FlasherProblemsEndTheRunWithStatusZeroBeforeAnythingElse) {
    const struct { long size; const char* errors; } cases[] = {
        {-1, "** file not found: fcFlash.prg"},
        {0, "** error reading file: fcFlash.prg"},
        {1025, "** File to large: fcFlash.prg; max. filesize=1024"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        if (c.size >= 0) writeBytes("fcFlash.prg", Bytes(static_cast<std::size_t>(c.size), 0x01));
        const RunResult run = runFlashtool({"rom.bin", "-t", "-sbZZ"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, kBanner);
        EXPECT_EQ(run.err, c.errors);
        EXPECT_FALSE(fs::exists("crc.ini"));
        EXPECT_FALSE(fs::exists("flash.bin"));
    }
}

TEST(StartUp, ImageIsOpenedAfterTheCatalogue) {
    ScratchDir dir;
    writeText("fcFlash.prg", std::string("\x00\x03\xaa\xbb", 4));
    writeText("crc.ini", "# mine\n");
    const RunResult run = runFlashtool({"-a", "-t"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string(kBanner) +
                           "====== reading CRC file ======\ncount of valid CRC entries: 0\ncount of lines in file: 1\n"
                           "creating file FLASH.BIN ok.\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readText("crc.ini"), "# mine\n");
    EXPECT_EQ(readBytes("flash.bin"), Bytes(524288, 0xFF));
}
