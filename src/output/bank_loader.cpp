// Bank loader files and the flasher program.
#include "output/bank_loader.h"

#include "base/console.h"
#include "base/files.h"
#include "base/system.h"

bool isBankLoaderFileSize(int64_t size) {
    for (std::size_t payload = 0; payload < kFlasherCapacity; ++payload) {
        if (static_cast<uint64_t>(size) == loaderRecordsSize(payload) + loaderRecordsSize(kBlockSize)) return true;
    }
    return false;
}

int loadWholeFile(int32_t verbosity, uint8_t* buffer, std::size_t capacity, int32_t& size, const char* path) {
    FilePtr file = openInputFile(path);
    if (!file) {
        reportError("** file not found: %s", path);
        return kLoadNotFound;
    }
    progress(verbosity, 2, "------ reading file ------\n");
    const int64_t length = fileSize(file.get());
    progress(verbosity, 2, "file: %s\n", path);
    progress(verbosity, 2, "size: %llx\n", static_cast<unsigned long long>(length));
    if (length < 0) {
        reportError("** error reading file: %s", path);
        return kLoadReadError;
    }
    if (static_cast<uint64_t>(length) > capacity) {
        reportError("** File to large: %s; max. filesize=%lu", path, static_cast<unsigned long>(capacity));
        return kLoadTooLarge;
    }
    if (std::fread(buffer, static_cast<std::size_t>(length), 1, file.get()) != 1) {
        reportError("** error reading file: %s", path);
        return kLoadReadError;
    }
    size = static_cast<int32_t>(length);
    return kLoadOk;
}

int loadFlasherProgram(int32_t verbosity, Flasher& flasher) {
    const int status = loadWholeFile(verbosity, flasher.buffer.data(), kFlasherCapacity, flasher.size, kFlasherName);
    // Without a whole load address no flasher record could be written, and
    // bank loader files without the flasher are of no use on the drive.
    if (status == kLoadOk && static_cast<std::size_t>(flasher.size) < kLoadAddressSize) {
        reportError(
            "** file too short: %s; min. filesize=%lu\n", kFlasherName, static_cast<unsigned long>(kLoadAddressSize));
        return kLoadTooShort;
    }
    return status;
}

int writeBankLoaderFile(int32_t verbosity, Flasher& flasher, FlashImage& image, const SparedFiles& spared, int bank,
    const uint8_t* blockBuffer) {
    char name[32];
    (void)std::snprintf(name, sizeof name, "&flashbank%02x.prg", static_cast<unsigned>(bank));
    progress(verbosity, 2, "======\n");
    progress(verbosity, 1, "====== open file for output ======\n");
    progress(verbosity, 2, "======\n");
    // The whole file fits the stream's buffer, so it reaches the disk in one
    // write when it is closed. The buffer outlives the stream.
    std::array<char, kMaxBankLoaderFileSize> buffer;
    ReplacedFile file;
    if (!beginReplace(name, spared, file)) {
        reportError("** cannot open file: %s", name);
        return kBankFileNotCreated;
    }
    (void)std::setvbuf(file.stream.get(), buffer.data(), _IOFBF, buffer.size());
    progress(verbosity, 1, "file: %s\n", name);
    progress(verbosity, 1, "bank: %02x\n", static_cast<unsigned>(bank));
    const auto flasherSize = static_cast<std::size_t>(flasher.size);
    flasher.buffer[flasherSize] = static_cast<uint8_t>(bank & 0xFF);
    writeLoaderRecords(verbosity, flasher.buffer.data(), flasherSize + 1, file.stream.get());
    writeLoaderRecords(verbosity, blockBuffer, kBlockBufferSize, file.stream.get());
    const int slot = writeFlashSlot(verbosity, image, bank, blockBuffer + kLoadAddressSize);
    // A bank loader file cut short (a full disk) must never reach the drive.
    if (commitReplace(file) != kCommitted) {
        reportError("** error writing file: %s\n", name);
        return kBankFileCutShort;
    }
    return slot == kFlashImageOk ? kBankFileWritten : kBankSlotNotWritten;
}
