// The flash image "flash.bin".
#include "output/flash_image.h"

#include <array>

#include "run/console.h"

namespace {

// Unbuffered: each slot goes to the file in one write, and a failed write is
// seen at once, where it can be reported. Set before any other use of the stream.
FilePtr openImage(const char* mode) {
    FilePtr image(std::fopen(kFlashImageName, mode));
    if (image) (void)std::setvbuf(image.get(), nullptr, _IONBF, 0);
    return image;
}

FilePtr openExistingImage() {
    FilePtr image = openImage("r+b");
    if (image && (std::fseek(image.get(), 0, SEEK_END) != 0 || std::ftell(image.get()) != kFlashImageSize)) {
        image.reset();
    }
    return image;
}

}  // namespace

int openFlashImage(RunSettings& settings) {
    if (!settings.writeFlashImage) return 0;
    settings.flashImageStream = openExistingImage();
    if (settings.flashImageStream) {
        progress(settings, 1, "opening file FLASH.BIN ok.\n");
        return 0;
    }
    settings.flashImageStream = openImage("wb");
    if (!settings.flashImageStream) {
        reportError("** error creating file: 'flash.bin'");
        settings.writeFlashImage = false;
        return kFlashImageNotCreated;
    }
    progress(settings, 1, "creating file FLASH.BIN ok.\n");
    std::array<uint8_t, kSlotSize> erased;
    erased.fill(0xFF);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::size_t written = std::fwrite(erased.data(), erased.size(), 1, settings.flashImageStream.get());
        if (written != 1) {
            reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
            break;
        }
    }
    return 0;
}

int writeFlashSlot(const RunSettings& settings, int bank, const uint8_t* block) {
    if (!settings.writeFlashImage || !settings.flashImageStream) return 0;
    if (bank < 0 || bank >= kSlotCount) {
        // Writing past the 64 slots would grow the file, and the next run
        // would recreate the image and lose every slot in it.
        reportError("** bank %02x has no slot in flash.bin\n", static_cast<unsigned>(bank));
        return 0;
    }
    const long offset = static_cast<long>(bank) * kSlotSize;
    progress(settings, 2, "---------\n");
    progress(settings, 2, "writing into file FLASH.BIN, offset=%06x\n", static_cast<unsigned>(offset));
    std::FILE* image = settings.flashImageStream.get();
    if (std::fseek(image, offset, SEEK_SET) != 0) return 0;
    progress(settings, 3, "fseek() ... ok\n");
    const std::size_t written = std::fwrite(block, kSlotSize, 1, image);
    if (written != 1) {
        reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
    } else {
        progress(settings, 3, "fwrite() ... ok\n");
    }
    return 0;
}
