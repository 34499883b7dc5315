// ROM image files.
#include "rom/rom_file.h"

#include <array>

#include "base/console.h"
#include "base/files.h"
#include "base/little_endian.h"
#include "base/system.h"

namespace {

// Checks the file's size and reads past its load address when it has one.
// Returns: Done with the number of blocks set, or the status to end with.
RomFileStatus readRomHeader(const BlockRoute& route, std::FILE* file, const char* path, long& blocks) {
    int64_t size = fileSize(file);
    if (size < 0) {
        reportError("** error reading file: %s", path);
        return RomFileStatus::ReadError;
    }
    const RomLayout layout = romLayout(size);
    blocks = layout.blocks;
    if (shows(route.verbosity, Level::Details) || size != kBlockSize)
        progressAlways("size: %llx\n", static_cast<unsigned long long>(size));
    if (layout.hasLoadAddress) {
        progress(route.verbosity, Level::Details, "cutting LOAD address ...\n");
        uint8_t address[kLoadAddressSize];
        if (std::fread(address, kLoadAddressSize, 1, file) != 1) {
            reportError("** error reading file: %s", path);
            return RomFileStatus::ReadError;
        }
        progress(route.verbosity, Level::Details, "load address: %04x\n", static_cast<unsigned>(readLe16(address)));
        size -= static_cast<int64_t>(kLoadAddressSize);
    } else if (!layout.accepted) {
        reportError("** File Size must be %04x Bytes (or a multiple) ...\n", static_cast<unsigned>(kBlockSize));
        return RomFileStatus::Rejected;
    }
    if (route.forcedBank != kNoForcedBank && size != kBlockSize) {
        reportError("** File Size must be %04x Bytes for option -sbXX ...\n", static_cast<unsigned>(kBlockSize));
        return RomFileStatus::Rejected;
    }
    return RomFileStatus::Done;
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

RomFileStatus processRomFile(BlockRoute& route, const char* path, bool optional) {
    FilePtr file = openInputFile(path);
    // An optional file that is not there is no news; one that is there but
    // cannot be read would be missing from the flash without a word.
    if (!file && optional && fileKind(path) == FileKind::Missing) return RomFileStatus::Done;
    progress(route.verbosity, Level::Details, "======\n");
    progress(route.verbosity, Level::Steps, "====== open file for input ======\n");
    progress(route.verbosity, Level::Details, "======\n");
    if (!file) {
        reportError("** cannot open file: %s", path);
        return RomFileStatus::Rejected;
    }
    // No output may replace it now, though it may not have been there when the run began.
    spareOpenFile(file.get(), route.spared);
    progress(route.verbosity, Level::Steps, "file: %s\n", path);
    long blocks = 0;
    const RomFileStatus status = readRomHeader(route, file.get(), path, blocks);
    if (status != RomFileStatus::Done) return status;

    // Bytes 0 and 1 stay free for the address the block is written at.
    std::array<uint8_t, kBlockBufferSize> buffer{};
    for (long index = 0; index < blocks; ++index) {
        if (std::fread(buffer.data() + kLoadAddressSize, kBlockSize, 1, file.get()) != 1) {
            reportError("** error reading file: %s", path);
            return RomFileStatus::ReadError;
        }
        if (blocks > 1) {
            progress(route.verbosity, Level::Steps, "=========================\n");
            progress(route.verbosity, Level::Steps, "reading block: %02x\n", static_cast<unsigned>(index));
        }
        classifyBlock(route, buffer.data(), static_cast<int>(index));
    }
    return RomFileStatus::Done;
}
