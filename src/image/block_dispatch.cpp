// Where one 8 KB block goes.
#include "image/block_dispatch.h"

#include <algorithm>

#include "image/crc16.h"
#include "output/bank_loader.h"
#include "output/little_endian.h"
#include "run/console.h"

namespace {

void writeBlockFile(const RunSettings& settings, const uint8_t* block, int index) {
    char name[32];
    (void)std::snprintf(name, sizeof name, "block%02x.bin", static_cast<unsigned>(index));
    progress(settings, 1, "writing block file: %s\n", name);
    FilePtr file(std::fopen(name, "wb"));
    if (!file) {
        reportError("** cannot open file: %s", name);
        return;
    }
    const bool written = std::fwrite(block, kBlockSize, 1, file.get()) == 1;
    if (std::fclose(file.release()) != 0 || !written) reportError("** error writing file: %s\n", name);
}

void reportBlank(const RunSettings& settings, int index) {
    progress(settings, 1, "blank page (contain $FF only), block: %02x \n", static_cast<unsigned>(index));
}

}  // namespace

int classifyBlock(RunSettings& settings, const Catalogue& catalogue, uint8_t* buffer, int index) {
    const uint8_t* block = buffer + 2;
    if (settings.writeBlockFiles) writeBlockFile(settings, block, index);
    const bool blank = std::all_of(block, block + kBlockSize, [](uint8_t byte) { return byte == 0xFF; });

    const CatalogueEntry* entry = nullptr;
    int bank = settings.forcedBank;
    if (bank >= 0) {
        progress(settings, 1, "bank: %02x\n", static_cast<unsigned>(bank));
    } else {
        if (blank) {
            reportBlank(settings, index);
            return kBlockBlank;
        }
        const uint16_t crc = crc16Block(block, kBlockSize);
        entry = findByCrc(catalogue, crc);
        bank = firstBank(entry);
        if (bank < 0) {
            reportError("** unknown block: %02x ...  (CRC-16:%04x)\n", static_cast<unsigned>(index),
                        static_cast<unsigned>(crc));
            return kBlockUnknown;
        }
        progress(settings, 2, "CRC-16: %04x\n", static_cast<unsigned>(crc));
        progress(settings, 2, "- binary file ok - \n");
        progress(settings, 1, "ROM name: %s\n", entry->name.get());
    }
    if (blank) {
        reportBlank(settings, index);
        return kBlockBlank;
    }
    writeLe16(buffer, kBlockLoadAddress);
    for (; bank != kNoBank; bank = entry != nullptr ? nextBank(entry, bank) : kNoBank) {
        writeBankLoaderFile(settings, bank, buffer);
    }
    return kBlockSent;
}
