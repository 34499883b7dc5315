// The flash image "flash.bin".
#include "output/flash_image.h"

#include <array>

#include "base/console.h"
#include "base/flash_geometry.h"
#include "base/system.h"

namespace {

// Unbuffered: each slot goes to the file in one write, and a failed write is
// seen at once, where it can be reported. Set before any other use of the stream.
void unbuffer(FilePtr& stream) { (void)std::setvbuf(stream.get(), nullptr, _IONBF, 0); }

constexpr int kMaxNamingRounds = 8;  // each round but the last ends with an image named, by this run or another

// Returns: "flash.bin" open for writing in place, unbuffered; an empty
// pointer when it is not a regular file or cannot be opened so.
FilePtr openInPlace() {
    if (fileKind(kFlashImageName) != FileKind::Regular) return FilePtr();
    FilePtr stream(std::fopen(kFlashImageName, "r+b"));
    if (stream) unbuffer(stream);
    return stream;
}

void reportWriteFailure(std::size_t written) {
    reportError("** error writing file: rc=%x\n", static_cast<unsigned>(written));
}

ImageStatus reportNotCreated() {
    reportError("** error creating file: 'flash.bin'");
    return ImageStatus::NotCreated;
}

// Writes a blank image under a temporary name and names it "flash.bin":
// in place of held, the file of another size this run holds locked, or,
// without held, without replacing a file that took the name meanwhile.
// Returns: Ok when an image is named (this one or another
// run's), or the status to end with, after its message.
ImageStatus makeBlankImage(int32_t verbosity, const SparedFiles& spared, std::FILE* held, bool& announced) {
    ReplacedFile blank;
    if (!beginReplace(kFlashImageName, spared, blank)) return reportNotCreated();
    unbuffer(blank.stream);
    if (!announced) progress(verbosity, Level::Steps, "creating file FLASH.BIN ok.\n");
    announced = true;
    std::array<uint8_t, kBlockSize> erased;
    erased.fill(0xFF);
    for (int slot = 0; slot < kBankCount; ++slot) {
        const std::size_t written = std::fwrite(erased.data(), erased.size(), 1, blank.stream.get());
        if (written != 1) {
            reportWriteFailure(written);
            return ImageStatus::NotWritten;
        }
    }
    const CommitStatus named = held != nullptr ? commitReplace(blank, held) : commitWithoutReplacing(blank);
    if (named == CommitStatus::Failed) {
        reportWriteFailure(0);
        return ImageStatus::NotWritten;
    }
    return ImageStatus::Ok;
}

}  // namespace

// Several runs may start at once in one folder; none may lose another's slots:
//  1. A "flash.bin" that is a ROM file of this run is never written into.
//  2. A regular file of exactly 524288 bytes is the image: opened, and its
//     slots written in place.
//  3. None there: a blank image is made under a temporary name and takes
//     the name without replacing. When another run named its image first,
//     the blank one is dropped and that image used (back to 2).
//  4. A file of another size: this run waits for the lock on it. Under the
//     lock, a file another run has meanwhile made whole is used (back to 2);
//     one that "flash.bin" no longer names is let go (back to 2 or 3);
//     otherwise it is replaced by a blank image, and the lock ends with it.
//     The runs that waited find the whole image.
//  5. Anything else (a folder, a file that cannot be opened for writing) is
//     never replaced: the run goes on without an image.
// Each round of 3 or 4 names an image, so a second round finds it whole;
// only other runs that keep replacing it could make the rounds run out.
ImageStatus openFlashImage(int32_t verbosity, const SparedFiles& spared, FlashImage& image) {
    // A ROM file of this run is read block by block: writing slots into it
    // would change what is still to be read.
    if (isSpared(kFlashImageName, spared)) return reportNotCreated();
    bool announced = false;  // "creating": the run has made a blank image
    for (int round = 0; round < kMaxNamingRounds; ++round) {
        const FileKind kind = fileKind(kFlashImageName);
        if (kind == FileKind::Missing) {
            const ImageStatus made = makeBlankImage(verbosity, spared, nullptr, announced);
            if (made != ImageStatus::Ok) return made;
            continue;
        }
        FilePtr found = openInPlace();
        if (!found) return reportNotCreated();
        bool whole = fileSize(found.get()) == kFlashImageSize;
        if (!whole) {
            if (!lockFile(found.get())) return reportNotCreated();
            whole = fileSize(found.get()) == kFlashImageSize;
        }
        if (whole) {
            if (!announced) progress(verbosity, Level::Steps, "opening file FLASH.BIN ok.\n");
            image.stream = std::move(found);
            return ImageStatus::Ok;
        }
        if (!namesFile(kFlashImageName, found.get())) continue;
        const ImageStatus made = makeBlankImage(verbosity, spared, found.get(), announced);
        if (made != ImageStatus::Ok) return made;
    }
    return reportNotCreated();
}

ImageStatus writeFlashSlot(int32_t verbosity, FlashImage& image, int bank, const uint8_t* block) {
    if (!isOn(image)) return ImageStatus::Ok;
    if (bank < 0 || bank >= kBankCount) {
        // Writing past the 64 slots would grow the file, and the next run
        // would recreate the image and lose every slot in it.
        reportError("** bank %02x has no slot in flash.bin\n", static_cast<unsigned>(bank));
        return ImageStatus::NoSlot;
    }
    const long offset = static_cast<long>(bank) * kBlockSize;
    progress(verbosity, Level::Details, "---------\n");
    progress(verbosity, Level::Details, "writing into file FLASH.BIN, offset=%06x\n", static_cast<unsigned>(offset));
    std::FILE* stream = image.stream.get();
    if (std::fseek(stream, offset, SEEK_SET) != 0) {
        reportWriteFailure(0);
        return ImageStatus::NotWritten;
    }
    progress(verbosity, Level::Records, "fseek() ... ok\n");
    const std::size_t written = std::fwrite(block, kBlockSize, 1, stream);
    if (written != 1) {
        reportWriteFailure(written);
        // Reported here, once: the close must not report these bytes again.
        std::clearerr(stream);
        return ImageStatus::NotWritten;
    }
    progress(verbosity, Level::Records, "fwrite() ... ok\n");
    return ImageStatus::Ok;
}

ImageStatus closeFlashImage(FlashImage& image) {
    if (!isOn(image) || closeChecked(image.stream)) return ImageStatus::Ok;
    reportWriteFailure(0);
    return ImageStatus::NotWritten;
}
