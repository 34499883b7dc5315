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
    progress(route.verbosity, Level::Steps, "writing block file: %s\n", name);
    ReplacedFile file;
    if (!beginReplace(name, route.spared, file)) {
        reportError("** cannot open file: %s", name);
        return false;
    }
    (void)std::fwrite(block, kBlockSize, 1, file.stream.get());
    if (commitReplace(file) != CommitStatus::Committed) {
        reportError("** error writing file: %s\n", name);
        return false;
    }
    return true;
}

// Sends the block to one bank: its loader file and its slot of the image.
// The slot is written while the file waits to be committed, so that it is
// written exactly when the bank's file could be made, and said before the
// file's own failure.
void sendToBank(BlockRoute& route, int bank, const uint8_t* buffer) {
    BankLoaderFile file;
    if (writeBankLoaderFile(route.verbosity, route.flasher, route.spared, bank, buffer, file) !=
        BankFileStatus::Written) {
        route.outputFailed = true;
        return;
    }
    const ImageStatus slot = writeFlashSlot(route.verbosity, route.image, bank, buffer + kLoadAddressSize);
    if (commitBankLoaderFile(file) != BankFileStatus::Written || slot != ImageStatus::Ok) route.outputFailed = true;
}

}  // namespace

void classifyBlock(BlockRoute& route, uint8_t* buffer, int index) {
    const uint8_t* block = buffer + kLoadAddressSize;
    if (route.writeBlockFiles && !writeBlockFile(route, block, index)) route.outputFailed = true;
    int bank = route.forcedBank;
    if (bank != kNoForcedBank) progress(route.verbosity, Level::Steps, "bank: %02x\n", static_cast<unsigned>(bank));
    if (isErasedBlock(block)) {
        progress(route.verbosity, Level::Steps, "blank page (contain $FF only), block: %02x \n",
            static_cast<unsigned>(index));
        return;
    }
    const CatalogueEntry* entry = nullptr;  // none for a forced bank, so nextBank ends the loop after it
    if (bank == kNoForcedBank) {
        const uint16_t crc = crc16Block(block, kBlockSize);
        entry = findByCrc(route.catalogue, crc);
        bank = firstBank(entry);
        if (bank == kNoBank) {
            reportError("** unknown block: %02x ...  (CRC-16:%04x)\n", static_cast<unsigned>(index),
                static_cast<unsigned>(crc));
            return;
        }
        progress(route.verbosity, Level::Details, "CRC-16: %04x\n", static_cast<unsigned>(crc));
        progress(route.verbosity, Level::Details, "- binary file ok - \n");
        progress(route.verbosity, Level::Steps, "ROM name: %s\n", entry->name.c_str());
    }
    writeLe16(buffer, kBlockLoadAddress);
    for (; bank != kNoBank; bank = nextBank(entry, bank)) sendToBank(route, bank, buffer);
}
