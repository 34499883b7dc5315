// Flash image: kept, created or recreated, slots at bank × 8192, banks without a slot.
#include <gtest/gtest.h>

#include <filesystem>

#include "output/flash_image.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// Opens the image as the run would, with -t at the given verbosity.
RunSettings openedImage(int verbosity = 1) {
    RunSettings settings;
    settings.verbosity = verbosity;
    settings.writeFlashImage = true;
    EXPECT_EQ(openFlashImage(settings), 0);
    return settings;
}

}  // namespace

TEST(FlashImage, WrongSizesAreRecreatedAndTheRightSizeIsKept) {
    const struct { long size; bool kept; } cases[] = {
        {-1, false}, {0, false}, {524287, false}, {524288, true}, {524289, false},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const Bytes old = patterned(c.size < 0 ? 0 : static_cast<std::size_t>(c.size), 5);
        if (c.size >= 0) writeBytes("flash.bin", old);
        CapturedConsole console;
        { RunSettings settings = openedImage(); }
        EXPECT_EQ(console.progress(), c.kept ? "opening file FLASH.BIN ok.\n" : "creating file FLASH.BIN ok.\n");
        EXPECT_EQ(readBytes("flash.bin"), c.kept ? old : Bytes(524288, 0xFF)) << c.size;
    }
}

TEST(FlashImage, SlotsLandAtBankTimes8192AndSurviveTheNextRun) {
    ScratchDir dir;
    const Bytes first = patterned(8192, 1), last = patterned(8192, 2), again = patterned(8192, 3);
    {
        RunSettings settings = openedImage();
        writeFlashSlot(settings, 0x00, first.data());
        writeFlashSlot(settings, 0x3F, last.data());
    }
    {
        CapturedConsole console;
        RunSettings settings = openedImage(3);
        writeFlashSlot(settings, 0x0B, again.data());
        EXPECT_EQ(console.progress(),
                  "opening file FLASH.BIN ok.\n---------\nwriting into file FLASH.BIN, offset=016000\n"
                  "fseek() ... ok\nfwrite() ... ok\n");
    }
    Bytes expected(524288, 0xFF);
    std::copy(first.begin(), first.end(), expected.begin());
    std::copy(again.begin(), again.end(), expected.begin() + 0x16000);
    std::copy(last.begin(), last.end(), expected.begin() + 0x7E000);
    EXPECT_EQ(readBytes("flash.bin"), expected);
}

TEST(FlashImage, BankWithoutSlotIsReportedAndNotWritten) {
    ScratchDir dir;
    CapturedConsole console;
    {
        RunSettings settings = openedImage(3);
        for (int bank : {0x40, 0xFF}) writeFlashSlot(settings, bank, patterned(8192, 9).data());
    }
    EXPECT_EQ(console.progress(), "creating file FLASH.BIN ok.\n");
    EXPECT_EQ(console.errors(), "** bank 40 has no slot in flash.bin\n** bank ff has no slot in flash.bin\n");
    EXPECT_EQ(readBytes("flash.bin"), Bytes(524288, 0xFF));
}

TEST(FlashImage, UncreatableImageSwitchesItselfOff) {
    ScratchDir dir;
    fs::create_directory("flash.bin");
    RunSettings settings;
    settings.writeFlashImage = true;
    CapturedConsole console;
    EXPECT_EQ(openFlashImage(settings), kFlashImageNotCreated);
    EXPECT_FALSE(settings.writeFlashImage);
    EXPECT_EQ(console.errors(), "** error creating file: 'flash.bin'");
    EXPECT_EQ(writeFlashSlot(settings, 1, patterned(8192, 1).data()), 0);
    EXPECT_TRUE(fs::is_directory("flash.bin"));
}
