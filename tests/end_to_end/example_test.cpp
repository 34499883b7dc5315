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
    EXPECT_EQ(crc16Block(rom.data(), 8192), 0xD3DA);
    EXPECT_EQ(Bytes(rom.begin() + 8192, rom.end()), Bytes(8192, 0xFF));
    const RunResult run = runFlashtool({"DD2.bin", "-t"});
    EXPECT_EQ(run.status + run.err.size(), 0u);
    EXPECT_EQ(filesHere(), (std::set<std::string>{"DD2.bin", "fcFlash.prg", "crc.ini", "flash.bin",
                                                  "&flashbank0b.prg", "&flashbank18.prg"}));
}
