// The flash image "flash.bin".
#include "output/flash_image.h"

#include <array>

#include "base/console.h"
#include "base/flash_geometry.h"

namespace {

// Unbuffered: each slot goes to the file in one write, and a failed write is
// seen at once, where it can be reported. Set before any other use of the stream.
void unbuffer(FilePtr& stream) { (void)std::setvbuf(stream.get(), nullptr, _IONBF, 0); }

// Returns: "flash.bin" open for writing in place when it is a regular file of
// 524288 bytes; an empty pointer otherwise.
FilePtr openExistingImage() {
    if (fileKind(kFlashImageName) != FileKind::Regular) return FilePtr();
    FilePtr stream(std::fopen(kFlashImageName, "r+b"));
    if (!stream) return FilePtr();
    unbuffer(stream);
    if (fileSize(stream.get()) != kFlashImageSize) return FilePtr();
    return stream;
}

void reportWriteFailure(std::size_t written) {
    reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
}

// Writes a blank image under a temporary name and gives it the name
// "flash.bin": without replacing when there was none (isNew), else in place
// of the file of another size.
// Returns: kFlashImageOk when it was written whole (the name may have gone to
// another run's image meanwhile), or the status to end with, after its message.
int makeBlankImage(int32_t verbosity, const SparedFiles& spared, bool isNew) {
    ReplacedFile blank;
    if (!beginReplace(kFlashImageName, spared, blank)) {
        reportError("** error creating file: 'flash.bin'");
        return kFlashImageNotCreated;
    }
    unbuffer(blank.stream);
    progress(verbosity, 1, "creating file FLASH.BIN ok.\n");
    std::array<uint8_t, kBlockSize> erased;
    erased.fill(0xFF);
    for (int slot = 0; slot < kBankCount; ++slot) {
        const std::size_t written = std::fwrite(erased.data(), erased.size(), 1, blank.stream.get());
        if (written != 1) {
            reportWriteFailure(written);
            return kFlashImageNotWritten;
        }
    }
    // Named before any slot is written, so that two runs at once write their
    // slots into one image, and a killed run leaves a whole image or none. A
    // whole image that another run put in place of a file of another size
    // meanwhile is kept (but for the moment between this look and the rename).
    if (isNew) {
        (void)commitWithoutReplacing(blank);
    } else if (!openExistingImage()) {
        (void)commitReplace(blank);
    }
    return kFlashImageOk;
}

}  // namespace

int openFlashImage(int32_t verbosity, const SparedFiles& spared, FlashImage& image) {
    // A ROM file of this run is read block by block: writing slots into it
    // would change what is still to be read.
    if (isSpared(kFlashImageName, spared)) {
        reportError("** error creating file: 'flash.bin'");
        return kFlashImageNotCreated;
    }
    // Seen before the image is opened: a "flash.bin" that another run names
    // in between is then never taken for a file of another size and replaced.
    const bool isNew = fileKind(kFlashImageName) == FileKind::Missing;
    image.stream = openExistingImage();
    if (isOn(image)) {
        progress(verbosity, 1, "opening file FLASH.BIN ok.\n");
        return kFlashImageOk;
    }
    const int made = makeBlankImage(verbosity, spared, isNew);
    if (made != kFlashImageOk) return made;
    image.stream = openExistingImage();
    if (!isOn(image)) {
        reportWriteFailure(0);
        return kFlashImageNotWritten;
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
    std::FILE* stream = image.stream.get();
    if (std::fseek(stream, offset, SEEK_SET) != 0) return kFlashImageNotWritten;
    progress(verbosity, 3, "fseek() ... ok\n");
    const std::size_t written = std::fwrite(block, kBlockSize, 1, stream);
    if (written != 1) {
        reportWriteFailure(written);
        // Reported here, once: the close must not report these bytes again.
        std::clearerr(stream);
        return kFlashImageNotWritten;
    }
    progress(verbosity, 3, "fwrite() ... ok\n");
    return kFlashImageOk;
}

int closeFlashImage(FlashImage& image) {
    if (!isOn(image) || closeChecked(image.stream)) return kFlashImageOk;
    reportWriteFailure(0);
    return kFlashImageNotWritten;
}
