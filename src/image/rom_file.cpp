// ROM image files.
#include "image/rom_file.h"

#include <array>

#include "image/block_dispatch.h"
#include "output/bank_loader.h"
#include "run/console.h"

int processRomFile(RunSettings& settings, const Catalogue& catalogue, const char* path, bool optional) {
    FilePtr file = openReadableFile(path);
    if (!file && optional) return kRomFileDone;
    progress(settings, 2, "======\n");
    progress(settings, 1, "====== open file for input ======\n");
    progress(settings, 2, "======\n");
    if (!file) {
        reportError("** cannot open file: %s", path);
        return kRomFileRejected;
    }
    progress(settings, 1, "file: %s\n", path);

    long size = -1;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        // Too large for this system's file positions: nothing can be read reliably.
        reportError("** error reading file: %s", path);
        return kRomFileReadError;
    }
    const long remainder = size % kBlockSize;
    const long blocks = size / kBlockSize;
    if (settings.verbosity >= 2 || size != kBlockSize) progressAlways("size: %lx\n", static_cast<unsigned long>(size));

    std::array<uint8_t, kBlockBufferSize> buffer{};
    if (remainder == 2) {
        progress(settings, 2, "cutting LOAD address ...\n");
        if (std::fread(buffer.data(), 2, 1, file.get()) != 1) {
            reportError("** error reading file: %s", path);
            return kRomFileReadError;
        }
        progress(settings, 2, "load address: %04x\n", static_cast<unsigned>(buffer[1] * 256 + buffer[0]));
        size -= 2;
    } else if (remainder != 0) {
        reportError("** File Size must be %04x Bytes (or a multiple) ...\n", static_cast<unsigned>(kBlockSize));
        return kRomFileRejected;
    }
    if (settings.forcedBank >= 0 && size != kBlockSize) {
        reportError("** File Size must be %04x Bytes for option -sbXX ...\n", static_cast<unsigned>(kBlockSize));
        return kRomFileRejected;
    }

    for (long index = 0; index < blocks; ++index) {
        if (std::fread(buffer.data() + 2, kBlockSize, 1, file.get()) != 1) {
            reportError("** error reading file: %s", path);
            return kRomFileReadError;
        }
        if (blocks > 1) {
            progress(settings, 1, "=========================\n");
            progress(settings, 1, "reading block: %02x\n", static_cast<unsigned>(index));
        }
        classifyBlock(settings, catalogue, buffer.data(), static_cast<int>(index));
    }
    return kRomFileDone;
}
