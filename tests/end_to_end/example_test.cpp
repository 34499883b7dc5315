// End to end: the shipped example does what the README shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "image/crc16.h"
#include "support/run_binary.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

TEST(Example, RunsAsTheReadmeShows) {
    ScratchDir dir;
    for (const char* name : {"fcFlash.prg", "DD2.bin"}) fs::copy_file(fs::path(FLASHTOOL_EXAMPLES_DIR) / name, name);
    const Bytes rom = readBytes("DD2.bin");
    ASSERT_EQ(rom.size(), 16384u);
    EXPECT_EQ(crc16Block(rom.data(), 8192), 0xD3DA);
    EXPECT_EQ(Bytes(rom.begin() + 8192, rom.end()), Bytes(8192, 0xFF));

    const RunResult run = runFlashtool({"DD2.bin", "-t"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("ROM name: SpeedDOS 40T HIROM\n"), std::string::npos);
    EXPECT_TRUE(fs::exists("&flashbank0b.prg"));
    EXPECT_TRUE(fs::exists("&flashbank18.prg"));
    EXPECT_EQ(fs::file_size("flash.bin"), 524288u);
}
