// The flash image "flash.bin".
#include "output/flash_image.h"

#include <array>

#include "base/console.h"
#include "base/flash_geometry.h"

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

int openFlashImage(int32_t verbosity, FlashImage& image) {
    image.stream = openExistingImage();
    if (isOn(image)) {
        progress(verbosity, 1, "opening file FLASH.BIN ok.\n");
        return kFlashImageOk;
    }
    image.stream = openImage("wb");
    if (!isOn(image)) {
        reportError("** error creating file: 'flash.bin'");
        return kFlashImageNotCreated;
    }
    progress(verbosity, 1, "creating file FLASH.BIN ok.\n");
    std::array<uint8_t, kBlockSize> erased;
    erased.fill(0xFF);
    for (int slot = 0; slot < kBankCount; ++slot) {
        const std::size_t written = std::fwrite(erased.data(), erased.size(), 1, image.stream.get());
        if (written != 1) {
            reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
            break;
        }
    }
    return kFlashImageOk;
}

int writeFlashSlot(int32_t verbosity, FlashImage& image, int bank, const uint8_t* block) {
    if (!isOn(image)) return kFlashImageOk;
    if (bank < 0 || bank >= kBankCount) {
        // Writing past the 64 slots would grow the file, and the next run
        // would recreate the image and lose every slot in it.
        reportError("** bank %02x has no slot in flash.bin\n", static_cast<unsigned>(bank));
        return kFlashImageOk;
    }
    const long offset = static_cast<long>(bank) * kBlockSize;
    progress(verbosity, 2, "---------\n");
    progress(verbosity, 2, "writing into file FLASH.BIN, offset=%06x\n", static_cast<unsigned>(offset));
    if (std::fseek(image.stream.get(), offset, SEEK_SET) != 0) return kFlashImageOk;
    progress(verbosity, 3, "fseek() ... ok\n");
    const std::size_t written = std::fwrite(block, kBlockSize, 1, image.stream.get());
    if (written != 1) {
        reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
    } else {
        progress(verbosity, 3, "fwrite() ... ok\n");
    }
    return kFlashImageOk;
}

void closeFlashImage(FlashImage& image) { image.stream.reset(); }
