// Where one 8 KB block goes.
#include "rom/block_dispatch.h"

#include "base/console.h"
#include "base/little_endian.h"
#include "rom/crc16.h"

namespace {

// Returns: false when the block file could not be written in full.
bool writeBlockFile(const BlockRoute& route, const uint8_t* block, int index) {
    char name[32];
    (void)std::snprintf(name, sizeof name, "block%02x.bin", static_cast<unsigned>(index));
    progress(route.verbosity, 1, "writing block file: %s\n", name);
    ReplacedFile file;
    if (!beginReplace(name, route.spared, file)) {
        reportError("** cannot open file: %s", name);
        return false;
    }
    (void)std::fwrite(block, kBlockSize, 1, file.stream.get());
    if (commitReplace(file) != kCommitted) {
        reportError("** error writing file: %s\n", name);
        return false;
    }
    return true;
}

}  // namespace

int classifyBlock(BlockRoute& route, uint8_t* buffer, int index) {
    const uint8_t* block = buffer + kLoadAddressSize;
    if (route.writeBlockFiles && !writeBlockFile(route, block, index)) route.outputFailed = true;
    int bank = route.forcedBank;
    if (bank != kNoForcedBank) progress(route.verbosity, 1, "bank: %02x\n", static_cast<unsigned>(bank));
    if (isErasedBlock(block)) {
        progress(route.verbosity, 1, "blank page (contain $FF only), block: %02x \n", static_cast<unsigned>(index));
        return kBlockBlank;
    }
    const CatalogueEntry* entry = nullptr;  // none for a forced bank, so nextBank ends the loop after it
    if (bank == kNoForcedBank) {
        const uint16_t crc = crc16Block(block, kBlockSize);
        entry = findByCrc(route.catalogue, crc);
        bank = firstBank(entry);
        if (bank == kNoBank) {
            reportError("** unknown block: %02x ...  (CRC-16:%04x)\n", static_cast<unsigned>(index),
                static_cast<unsigned>(crc));
            return kBlockUnknown;
        }
        progress(route.verbosity, 2, "CRC-16: %04x\n", static_cast<unsigned>(crc));
        progress(route.verbosity, 2, "- binary file ok - \n");
        progress(route.verbosity, 1, "ROM name: %s\n", entry->name.c_str());
    }
    writeLe16(buffer, kBlockLoadAddress);
    for (; bank != kNoBank; bank = nextBank(entry, bank)) {
        if (writeBankLoaderFile(route.verbosity, route.flasher, route.image, route.spared, bank, buffer) !=
            kBankFileWritten) {
            route.outputFailed = true;
        }
    }
    return kBlockSent;
}
