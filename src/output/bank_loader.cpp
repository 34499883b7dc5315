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

LoadStatus loadWholeFile(int32_t verbosity, uint8_t* buffer, std::size_t capacity, int32_t& size, const char* path) {
    FilePtr file = openInputFile(path);
    if (!file) {
        reportError("** file not found: %s", path);
        return LoadStatus::NotLoaded;
    }
    progress(verbosity, Level::Details, "------ reading file ------\n");
    const int64_t length = fileSize(file.get());
    progress(verbosity, Level::Details, "file: %s\n", path);
    progress(verbosity, Level::Details, "size: %llx\n", static_cast<unsigned long long>(length));
    if (length < 0) {
        reportError("** error reading file: %s", path);
        return LoadStatus::ReadError;
    }
    if (static_cast<uint64_t>(length) > capacity) {
        reportError("** File to large: %s; max. filesize=%lu", path, static_cast<unsigned long>(capacity));
        return LoadStatus::NotLoaded;
    }
    if (std::fread(buffer, static_cast<std::size_t>(length), 1, file.get()) != 1) {
        reportError("** error reading file: %s", path);
        return LoadStatus::ReadError;
    }
    size = static_cast<int32_t>(length);
    return LoadStatus::Ok;
}

LoadStatus loadFlasherProgram(int32_t verbosity, Flasher& flasher) {
    const LoadStatus status =
        loadWholeFile(verbosity, flasher.buffer.data(), kFlasherCapacity, flasher.size, kFlasherName);
    // Without a whole load address no flasher record could be written, and
    // bank loader files without the flasher are of no use on the drive.
    if (status == LoadStatus::Ok && static_cast<std::size_t>(flasher.size) < kLoadAddressSize) {
        reportError(
            "** file too short: %s; min. filesize=%lu\n", kFlasherName, static_cast<unsigned long>(kLoadAddressSize));
        return LoadStatus::TooShort;
    }
    return status;
}

std::string bankLoaderFileName(int bank) {
    char name[32];
    (void)std::snprintf(name, sizeof name, "&flashbank%02x.prg", static_cast<unsigned>(bank));
    return name;
}

BankFileStatus writeBankLoaderFile(int32_t verbosity, Flasher& flasher, const SparedFiles& spared, int bank,
    const uint8_t* blockBuffer, BankLoaderFile& out) {
    (void)std::snprintf(out.name, sizeof out.name, "%s", bankLoaderFileName(bank).c_str());
    progress(verbosity, Level::Details, "======\n");
    progress(verbosity, Level::Steps, "====== open file for output ======\n");
    progress(verbosity, Level::Details, "======\n");
    if (!beginReplace(out.name, spared, out.file)) {
        reportError("** cannot open file: %s", out.name);
        return BankFileStatus::NotCreated;
    }
    (void)std::setvbuf(out.file.stream.get(), out.buffer.data(), _IOFBF, out.buffer.size());
    progress(verbosity, Level::Steps, "file: %s\n", out.name);
    progress(verbosity, Level::Steps, "bank: %02x\n", static_cast<unsigned>(bank));
    const auto flasherSize = static_cast<std::size_t>(flasher.size);
    flasher.buffer[flasherSize] = static_cast<uint8_t>(bank & 0xFF);
    writeLoaderRecords(verbosity, flasher.buffer.data(), flasherSize + 1, out.file.stream.get());
    writeLoaderRecords(verbosity, blockBuffer, kBlockBufferSize, out.file.stream.get());
    return BankFileStatus::Written;
}

BankFileStatus commitBankLoaderFile(BankLoaderFile& out) {
    if (commitReplace(out.file) == CommitStatus::Committed) return BankFileStatus::Written;
    reportError("** error writing file: %s\n", out.name);
    return BankFileStatus::CutShort;
}
