// How a run comes by its flash image when other runs want the same one: it
// never replaces an image another run named, and runs that find a file of
// another size replace it one at a time.
#include "output/flash_image.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "base/system.h"
#include "support/test_support.h"

namespace {

const Bytes kMarked = forgedBlock(0x1234, 7);
const Bytes kSlot = forgedBlock(0x5678, 8);

// Writes kSlot into bank 2 through the image the run came by, and closes it.
void writeSlotAndClose(FlashImage& image) {
    EXPECT_EQ(writeFlashSlot(0, image, 2, kSlot.data()), ImageStatus::Ok);
    EXPECT_EQ(closeFlashImage(image), ImageStatus::Ok);
}

}  // namespace

TEST(FlashImage, AnImageNamedMeanwhileIsUsedNotReplaced) {
    ScratchDir dir;
    fileSeams().beforeNaming = [](const std::filesystem::path& target) {
        writeBytes(target, imageWith({{1, kMarked}}));
    };
    FlashImage image;
    const ImageStatus status = openFlashImage(0, SparedFiles{}, image);
    fileSeams() = FileSeams();
    ASSERT_EQ(status, ImageStatus::Ok);
    writeSlotAndClose(image);
    EXPECT_EQ(filesHere(), (Files{{"flash.bin", imageWith({{1, kMarked}, {2, kSlot}})}})) << "and no temporary file";
}

TEST(FlashImage, ARunWaitingForTheLockFindsTheWholeImage) {
    ScratchDir dir;
    writeBytes("flash.bin", Bytes(100, 1));  // another size
    FilePtr held(std::fopen("flash.bin", "r+b"));
    ASSERT_TRUE(held && lockFile(held.get()));
    FlashImage image;
    ImageStatus status = ImageStatus::NotCreated;
    std::thread claimant([&] { status = openFlashImage(0, SparedFiles{}, image); });
    // Time for the claimant to reach the lock; without one it would replace the file now.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    writeBytes("whole.tmp", imageWith({{1, kMarked}}));
    EXPECT_TRUE(replaceHeldFile("whole.tmp", "flash.bin", held.get()));
    held.reset();  // the lock ends
    claimant.join();
    ASSERT_EQ(status, ImageStatus::Ok);
    writeSlotAndClose(image);
    EXPECT_EQ(filesHere(), (Files{{"flash.bin", imageWith({{1, kMarked}, {2, kSlot}})}}));
}
