// The catalogue in memory.
#include "catalogue/catalogue.h"

#include <utility>

void clearCatalogue(Catalogue& catalogue) { catalogue.entries.clear(); }

void addEntry(Catalogue& catalogue, CatalogueEntry entry) { catalogue.entries.push_back(std::move(entry)); }

const CatalogueEntry* findByCrc(const Catalogue& catalogue, uint16_t crc) {
    // From the last line back, so that a later line for the same CRC wins.
    for (auto entry = catalogue.entries.rbegin(); entry != catalogue.entries.rend(); ++entry) {
        if (entry->crc == crc) return &*entry;
    }
    return nullptr;
}

int nextBank(const CatalogueEntry* entry, int after) {
    if (entry == nullptr) return kNoBank;
    const int start = after + 1;
    if (start < 0 || start >= kBankCount) return kNoBank;
    for (int bank = start; bank < kBankCount; ++bank) {
        if (entry->banks[bank] != 0) return bank;
    }
    return kNoBank;
}

int firstBank(const CatalogueEntry* entry) { return nextBank(entry, -1); }
