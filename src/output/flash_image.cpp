// The flash image "flash.bin".
#include "output/flash_image.h"

#include <array>

#include "base/console.h"
#include "base/flash_geometry.h"

namespace {

// Unbuffered: each slot goes to the file in one write, and a failed write is
// seen at once, where it can be reported. Set before any other use of the stream.
void unbuffer(FilePtr& stream) { (void)std::setvbuf(stream.get(), nullptr, _IONBF, 0); }

bool openExistingImage(ReplacedFile& file) {
    if (fileKind(kFlashImageName) != FileKind::Regular) return false;
    file.stream.reset(std::fopen(kFlashImageName, "r+b"));
    if (!file.stream) return false;
    unbuffer(file.stream);
    if (std::fseek(file.stream.get(), 0, SEEK_END) != 0 || std::ftell(file.stream.get()) != kFlashImageSize) {
        file.stream.reset();
        return false;
    }
    file.target = kFlashImageName;
    return true;
}

// A write that failed: a new image is incomplete now and is dropped.
int failedWrite(FlashImage& image) {
    if (!image.file.temporary.empty()) abandonReplace(image.file);
    return kFlashImageNotWritten;
}

}  // namespace

int openFlashImage(int32_t verbosity, const SparedFiles& spared, FlashImage& image) {
    if (openExistingImage(image.file)) {
        progress(verbosity, 1, "opening file FLASH.BIN ok.\n");
        return kFlashImageOk;
    }
    if (!beginReplace(kFlashImageName, spared, image.file)) {
        reportError("** error creating file: 'flash.bin'");
        return kFlashImageNotCreated;
    }
    unbuffer(image.file.stream);
    progress(verbosity, 1, "creating file FLASH.BIN ok.\n");
    std::array<uint8_t, kBlockSize> erased;
    erased.fill(0xFF);
    for (int slot = 0; slot < kBankCount; ++slot) {
        const std::size_t written = std::fwrite(erased.data(), erased.size(), 1, image.file.stream.get());
        if (written != 1) {
            reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
            return failedWrite(image);
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
        return kFlashImageNoSlot;
    }
    const long offset = static_cast<long>(bank) * kBlockSize;
    progress(verbosity, 2, "---------\n");
    progress(verbosity, 2, "writing into file FLASH.BIN, offset=%06x\n", static_cast<unsigned>(offset));
    if (std::fseek(image.file.stream.get(), offset, SEEK_SET) != 0) return failedWrite(image);
    progress(verbosity, 3, "fseek() ... ok\n");
    const std::size_t written = std::fwrite(block, kBlockSize, 1, image.file.stream.get());
    if (written != 1) {
        reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
        return failedWrite(image);
    }
    progress(verbosity, 3, "fwrite() ... ok\n");
    return kFlashImageOk;
}

int closeFlashImage(FlashImage& image) {
    if (!isOn(image) || commitReplace(image.file)) return kFlashImageOk;
    reportError("** error writing file: rc=%x\n", 0u);
    return kFlashImageNotWritten;
}
