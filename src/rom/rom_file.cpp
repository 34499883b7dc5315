// ROM image files.
#include "rom/rom_file.h"

#include <array>

#include "base/console.h"
#include "base/files.h"
#include "base/little_endian.h"
#include "base/system.h"

namespace {

// Checks the file's size and reads past its load address when it has one.
// Returns: kRomFileDone with the number of blocks set, or the status to end with.
int readRomHeader(const BlockRoute& route, std::FILE* file, const char* path, long& blocks) {
    int64_t size = fileSize(file);
    if (size < 0) {
        reportError("** error reading file: %s", path);
        return kRomFileReadError;
    }
    const RomLayout layout = romLayout(size);
    blocks = layout.blocks;
    if (route.verbosity >= 2 || size != kBlockSize)
        progressAlways("size: %llx\n", static_cast<unsigned long long>(size));
    if (layout.hasLoadAddress) {
        progress(route.verbosity, 2, "cutting LOAD address ...\n");
        uint8_t address[kLoadAddressSize];
        if (std::fread(address, kLoadAddressSize, 1, file) != 1) {
            reportError("** error reading file: %s", path);
            return kRomFileReadError;
        }
        progress(route.verbosity, 2, "load address: %04x\n", static_cast<unsigned>(readLe16(address)));
        size -= static_cast<int64_t>(kLoadAddressSize);
    } else if (!layout.accepted) {
        reportError("** File Size must be %04x Bytes (or a multiple) ...\n", static_cast<unsigned>(kBlockSize));
        return kRomFileRejected;
    }
    if (route.forcedBank != kNoForcedBank && size != kBlockSize) {
        reportError("** File Size must be %04x Bytes for option -sbXX ...\n", static_cast<unsigned>(kBlockSize));
        return kRomFileRejected;
    }
    return kRomFileDone;
}

}  // namespace

RomLayout romLayout(int64_t size) {
    const int64_t remainder = size % kBlockSize;
    RomLayout layout;
    layout.accepted = remainder == 0 || remainder == static_cast<int64_t>(kLoadAddressSize);
    layout.hasLoadAddress = remainder == static_cast<int64_t>(kLoadAddressSize);
    layout.blocks = static_cast<long>(size / kBlockSize);
    return layout;
}

int processRomFile(BlockRoute& route, const char* path, bool optional) {
    FilePtr file = openInputFile(path);
    // An optional file that is not there is no news; one that is there but
    // cannot be read would be missing from the flash without a word.
    if (!file && optional && fileKind(path) == FileKind::Missing) return kRomFileDone;
    progress(route.verbosity, 2, "======\n");
    progress(route.verbosity, 1, "====== open file for input ======\n");
    progress(route.verbosity, 2, "======\n");
    if (!file) {
        reportError("** cannot open file: %s", path);
        return kRomFileRejected;
    }
    // No output may replace it now, though it may not have been there when the run began.
    spareOpenFile(file.get(), route.spared);
    progress(route.verbosity, 1, "file: %s\n", path);
    long blocks = 0;
    const int status = readRomHeader(route, file.get(), path, blocks);
    if (status != kRomFileDone) return status;

    // Bytes 0 and 1 stay free for the address the block is written at.
    std::array<uint8_t, kBlockBufferSize> buffer{};
    for (long index = 0; index < blocks; ++index) {
        if (std::fread(buffer.data() + kLoadAddressSize, kBlockSize, 1, file.get()) != 1) {
            reportError("** error reading file: %s", path);
            return kRomFileReadError;
        }
        if (blocks > 1) {
            progress(route.verbosity, 1, "=========================\n");
            progress(route.verbosity, 1, "reading block: %02x\n", static_cast<unsigned>(index));
        }
        classifyBlock(route, buffer.data(), static_cast<int>(index));
    }
    return kRomFileDone;
}
