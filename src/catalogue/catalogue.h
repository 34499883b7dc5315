// The catalogue in memory: entries in the order of their lines, looked up by CRC-16.
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue/catalogue_entry.h"

constexpr int kNoBank = -1;

struct Catalogue {
    std::vector<CatalogueEntry> entries;  // in line order
};

void clearCatalogue(Catalogue& catalogue);

// Adds the entry of the next line.
void addEntry(Catalogue& catalogue, CatalogueEntry entry);

// Returns: the entry with this CRC-16 whose line came last, or nullptr.
const CatalogueEntry* findByCrc(const Catalogue& catalogue, uint16_t crc);

// Returns: the lowest bank above `after` that the entry names, or kNoBank
// (also for no entry and for a start outside 0..63).
int nextBank(const CatalogueEntry* entry, int after);

// Returns: the lowest bank the entry names, or kNoBank.
int firstBank(const CatalogueEntry* entry);
