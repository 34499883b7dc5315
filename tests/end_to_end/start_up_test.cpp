// End to end: the usage text and every way a run ends before the file loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/run_binary.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kBanner = "##### Quillmore Flash Tool #####\n";

}  // namespace

TEST(StartUp, NoArgumentsPrintsTheUsageTextAndTouchesNothing) {
    ScratchDir dir;
    const RunResult run = runFlashtool({});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "Usage:\n Quillmore-flashtool ROMfile  [-opt1...-optM]\n\nOptions:\n"
              " -a            ... all memFlashBank_xx.bin files\n"
              " -b            ... write block binary files\n"
              " -sbXX         ... set bank to avoid CRC check (XX=bank)\n"
              " -t            ... write flash file 512KB (for TL866)\n"
              " -oFILENAME    ... set name of output file\n"
              " -vN           ... set verbosity N\n"
              "\nExample:\n Quillmore-flashtool DD2.bin\n");
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(StartUp, EarlyEndsTouchNoCatalogueOrImage) {
    const Bytes flasher{0x00, 0x03, 0xAA, 0xBB};
    const struct {
        const char* label;
        std::function<void()> setUp;
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        {"no flasher", [] {}, {"rom.bin", "-t", "-sbZZ"}, 0, kBanner, "** file not found: fcFlash.prg"},
        {"empty flasher", [] { writeBytes("fcFlash.prg", {}); }, {"rom.bin", "-t"}, 0, kBanner,
         "** error reading file: fcFlash.prg"},
        {"flasher too large", [] { writeBytes("fcFlash.prg", Bytes(1025, 1)); }, {"rom.bin", "-t"}, 0, kBanner,
         "** File to large: fcFlash.prg; max. filesize=1024"},
        {"bad -sbXX", [&] { writeBytes("fcFlash.prg", flasher); }, {"rom.bin", "-t", "-sbZZ"}, 1, kBanner,
         "** option 'set bank' need a hex byte argument ...\n"},
        {"uncreatable catalogue",
         [&] {
             writeBytes("fcFlash.prg", flasher);
             fs::create_directory("crc.ini");
         },
         {"rom.bin", "-t"}, 1,
         kBanner + "====== reading CRC file ======\nmissing CRC file ...\n====== creating default CRC file ======\n",
         "** error creating file: 'crc.ini'** error - no CRC file ...\n"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        c.setUp();
        const RunResult run = runFlashtool(c.args);
        EXPECT_EQ(run.status, c.status) << c.label;
        EXPECT_EQ(run.out, c.out) << c.label;
        EXPECT_EQ(run.err, c.err) << c.label;
        EXPECT_FALSE(fs::is_regular_file("crc.ini")) << c.label;
        EXPECT_FALSE(fs::exists("flash.bin")) << c.label;
    }
}

TEST(StartUp, ImageIsOpenedAfterTheCatalogueWhichIsKept) {
    ScratchDir dir;
    writeBytes("fcFlash.prg", {0x00, 0x03, 0xAA, 0xBB});
    writeText("crc.ini", "# mine\n");
    const RunResult run = runFlashtool({"-a", "-t"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner +
                           "====== reading CRC file ======\ncount of valid CRC entries: 0\ncount of lines in file: 1\n"
                           "creating file FLASH.BIN ok.\n");
    EXPECT_EQ(readText("crc.ini"), "# mine\n");
    EXPECT_EQ(readBytes("flash.bin"), Bytes(524288, 0xFF));
}
