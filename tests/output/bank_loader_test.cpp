// Flasher program loading and bank loader files, read back as a receiver would.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "output/bank_loader.h"
#include "output/flash_image.h"
#include "output/loader_decoder.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// A flasher of this size loading at 0x0300 (as far as its size allows).
Bytes flasherOf(std::size_t size) {
    Bytes bytes = patterned(size, 0x5A);
    std::copy_n(Bytes{0x00, 0x03}.begin(), std::min<std::size_t>(size, 2), bytes.begin());
    return bytes;
}

// A block buffer as identification hands it over: address 0x4000, then the block.
Bytes blockBuffer(uint8_t seed) {
    Bytes buffer = patterned(kBlockBufferSize, seed);
    buffer[0] = 0x00;
    buffer[1] = 0x40;
    return buffer;
}

}  // namespace

TEST(BankLoaderFile, FlasherWithBankByteThenTheBlockAt4000) {
    const struct { std::size_t flasherSize; std::vector<std::size_t> flasherRecords; } cases[] = {
        {4, {3}}, {2, {1}}, {1, {}}, {1023, {256, 256, 256, 254}}, {1024, {256, 256, 256, 255}},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        writeBytes("fcFlash.prg", flasherOf(c.flasherSize));
        RunSettings settings;
        CapturedConsole console;
        ASSERT_EQ(loadFlasherProgram(settings), kLoadOk);
        const Bytes block = blockBuffer(7);
        ASSERT_EQ(writeBankLoaderFile(settings, 0x0B, block.data()), 0);
        EXPECT_EQ(console.progress(), "====== open file for output ======\nfile: &flashbank0b.prg\nbank: 0b\n");

        const Bytes file = readBytes("&flashbank0b.prg");
        const DecodedRecords decoded = decodeLoaderRecords(file.data(), file.size());
        ASSERT_EQ(decoded.fault, kDecodeOk) << c.flasherSize;
        const std::size_t blockStream = c.flasherRecords.empty() ? 0 : 1;
        ASSERT_EQ(decoded.streams.size(), blockStream + 1) << c.flasherSize;
        if (blockStream == 1) {
            const Bytes flasher = flasherOf(c.flasherSize);
            Bytes flasherPayload(flasher.begin() + 2, flasher.end());
            flasherPayload.push_back(0x0B);
            EXPECT_EQ(decoded.streams[0].start, 0x0300);
            EXPECT_EQ(decoded.streams[0].payload, flasherPayload);
            EXPECT_EQ(decoded.streams[0].recordLengths, c.flasherRecords);
        }
        EXPECT_EQ(decoded.streams[blockStream].start, 0x4000);
        EXPECT_EQ(decoded.streams[blockStream].payload, Bytes(block.begin() + 2, block.end()));
        EXPECT_EQ(decoded.streams[blockStream].recordLengths, std::vector<std::size_t>(32, 256));
    }
}

TEST(BankLoaderFile, UpdatesTheImageSlotOnlyWhenTheFileWasWritten) {
    ScratchDir dir;
    writeBytes("fcFlash.prg", flasherOf(4));
    fs::create_directory("&flashbank05.prg");  // cannot be created as a file
    RunSettings settings;
    settings.writeFlashImage = true;
    CapturedConsole console;
    ASSERT_EQ(loadFlasherProgram(settings), kLoadOk);
    ASSERT_EQ(openFlashImage(settings), 0);
    const Bytes block = blockBuffer(3);
    EXPECT_EQ(writeBankLoaderFile(settings, 0x05, block.data()), kBankFileNotCreated);
    EXPECT_EQ(writeBankLoaderFile(settings, 0x06, block.data()), 0);
    EXPECT_EQ(writeBankLoaderFile(settings, 0x40, block.data()), 0);  // a file, but no slot
    settings.flashImageStream.reset();

    EXPECT_EQ(console.errors(), "** cannot open file: &flashbank05.prg** bank 40 has no slot in flash.bin\n");
    EXPECT_TRUE(fs::exists("&flashbank40.prg"));
    Bytes expected(524288, 0xFF);
    std::copy(block.begin() + 2, block.end(), expected.begin() + 6 * 8192);
    EXPECT_EQ(readBytes("flash.bin"), expected);
}

