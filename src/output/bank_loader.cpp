// Bank loader files and the flasher program.
#include "output/bank_loader.h"

#include "output/flash_image.h"
#include "output/loader_records.h"
#include "run/console.h"

int loadWholeFile(const RunSettings& settings, uint8_t* buffer, std::size_t capacity, int32_t& size, const char* path) {
    FilePtr file = openReadableFile(path);
    if (!file) {
        reportError("** file not found: %s", path);
        return kLoadNotFound;
    }
    progress(settings, 2, "------ reading file ------\n");
    long length = -1;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) length = std::ftell(file.get());
    progress(settings, 2, "file: %s\n", path);
    progress(settings, 2, "size: %lx\n", static_cast<unsigned long>(length));
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        reportError("** error reading file: %s", path);
        return kLoadReadError;
    }
    if (static_cast<unsigned long>(length) > capacity) {
        reportError("** File to large: %s; max. filesize=%lu", path, static_cast<unsigned long>(capacity));
        return kLoadNotFound;
    }
    if (std::fread(buffer, static_cast<std::size_t>(length), 1, file.get()) != 1) {
        reportError("** error reading file: %s", path);
        return kLoadReadError;
    }
    size = static_cast<int32_t>(length);
    return kLoadOk;
}

int loadFlasherProgram(RunSettings& settings) {
    return loadWholeFile(settings, settings.flasherBuffer.data(), kFlasherCapacity, settings.flasherSize, kFlasherName);
}

int writeBankLoaderFile(RunSettings& settings, int bank, const uint8_t* blockBuffer) {
    if (settings.flasherSize == 0) return 0;
    char name[32];
    (void)std::snprintf(name, sizeof name, "&flashbank%02x.prg", static_cast<unsigned>(bank));
    progress(settings, 2, "======\n");
    progress(settings, 1, "====== open file for output ======\n");
    progress(settings, 2, "======\n");
    FilePtr file(std::fopen(name, "wb"));
    if (!file) {
        reportError("** cannot open file: %s", name);
        return kBankFileNotCreated;
    }
    progress(settings, 1, "file: %s\n", name);
    progress(settings, 1, "bank: %02x\n", static_cast<unsigned>(bank));
    settings.flasherBuffer[static_cast<std::size_t>(settings.flasherSize)] = static_cast<uint8_t>(bank & 0xFF);
    writeLoaderRecords(settings, settings.flasherBuffer.data(), static_cast<std::size_t>(settings.flasherSize) + 1,
                       file.get());
    writeLoaderRecords(settings, blockBuffer, kBlockBufferSize, file.get());
    writeFlashSlot(settings, bank, blockBuffer + 2);
    // A bank loader file cut short (a full disk) must not pass for a good one.
    const bool failed = std::ferror(file.get()) != 0;
    if (std::fclose(file.release()) != 0 || failed) {
        reportError("** error writing file: %s\n", name);
        return kBankFileNotCreated;
    }
    return 0;
}
