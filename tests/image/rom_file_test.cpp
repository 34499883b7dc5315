// ROM file sizes, the load address cut, the -sbXX rule and the size line.
#include <gtest/gtest.h>

#include <string>

#include "image/rom_file.h"
#include "support/test_support.h"

namespace {

struct SizeCase {
    long size;
    int forcedBank;
    int verbosity;
    int status;
    std::string progress;
    std::string errors;
};

}  // namespace

TEST(ProcessRomFile, SizeRules) {
    const std::string head = "====== open file for input ======\nfile: rom.bin\n";
    const std::string blank0 = "blank page (contain $FF only), block: 00 \n";
    const std::string blank1 = "blank page (contain $FF only), block: 01 \n";
    const std::string multiple = "** File Size must be 2000 Bytes (or a multiple) ...\n";
    const std::string forced = "** File Size must be 2000 Bytes for option -sbXX ...\n";
    const SizeCase cases[] = {
        {8192, -1, 1, kRomFileDone, head + blank0, ""},
        {8192, -1, 0, kRomFileDone, "", ""},
        {8194, -1, 0, kRomFileDone, "size: 2002\n", ""},
        {8194, -1, 1, kRomFileDone, head + "size: 2002\n" + blank0, ""},
        {0, -1, 0, kRomFileDone, "size: 0\n", ""},
        {2, -1, 0, kRomFileDone, "size: 2\n", ""},
        {2, 0x05, 0, kRomFileRejected, "size: 2\n", forced},
        {8191, -1, 0, kRomFileRejected, "size: 1fff\n", multiple},
        {8193, -1, 0, kRomFileRejected, "size: 2001\n", multiple},
        {8195, -1, 0, kRomFileRejected, "size: 2003\n", multiple},
        {16384, -1, 1, kRomFileDone,
         head + "size: 4000\n=========================\nreading block: 00\n" + blank0 +
             "=========================\nreading block: 01\n" + blank1, ""},
        {16384, 0x05, 0, kRomFileRejected, "size: 4000\n", forced},
        {8194, 0x05, 0, kRomFileDone, "size: 2002\n", ""},
        {8192, 0x05, 0, kRomFileDone, "", ""},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        Bytes rom(static_cast<std::size_t>(c.size), 0xFF);
        if (c.size % 8192 == 2) {
            rom[0] = 0x01;
            rom[1] = 0x08;
        }
        writeBytes("rom.bin", rom);
        RunSettings settings;
        settings.verbosity = c.verbosity;
        settings.forcedBank = c.forcedBank;
        Catalogue catalogue;
        CapturedConsole console;
        EXPECT_EQ(processRomFile(settings, catalogue, "rom.bin", false), c.status) << c.size;
        EXPECT_EQ(console.progress(), c.progress) << c.size << " at -v" << c.verbosity;
        EXPECT_EQ(console.errors(), c.errors) << c.size;
    }
}

TEST(ProcessRomFile, MissingAndUnreadablePaths) {
    ScratchDir dir;
    std::filesystem::create_directory("folder");
    RunSettings settings;
    Catalogue catalogue;
    for (const char* path : {"missing.bin", "folder"}) {
        CapturedConsole console;
        EXPECT_EQ(processRomFile(settings, catalogue, path, true), kRomFileDone) << path;
        EXPECT_EQ(console.progress() + console.errors(), "") << "an optional file is passed over silently";
        EXPECT_EQ(processRomFile(settings, catalogue, path, false), kRomFileRejected) << path;
        EXPECT_EQ(console.progress(), "====== open file for input ======\n");
        EXPECT_EQ(console.errors(), std::string("** cannot open file: ") + path);
    }
}
