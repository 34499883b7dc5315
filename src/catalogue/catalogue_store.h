// The catalogue in memory, the "crc.ini" file, and the built-in default catalogue.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/catalogue_entry.h"
#include "run/settings.h"

constexpr int kCatalogueOk = 0;
constexpr int kCatalogueMissing = -2;        // "crc.ini" cannot be opened or read at all
constexpr int kCatalogueNotCreated = -3;     // "crc.ini" cannot be created
constexpr int kNoBank = -1;

constexpr const char* kCatalogueFileName = "crc.ini";

// A singly linked list with the newest entry at the head, so that a lookup
// finds the line further down the file first. Owns its entries.
struct Catalogue {
    CatalogueEntry* head = nullptr;

    Catalogue() = default;
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;
    ~Catalogue();
};

// Releases every entry; the catalogue is empty afterwards.
void clearCatalogue(Catalogue& catalogue);

// Puts entry at the head. Returns: 0.
int addEntry(Catalogue& catalogue, std::unique_ptr<CatalogueEntry> entry);

// Returns: the first entry from the head with this CRC-16, or nullptr.
const CatalogueEntry* findByCrc(const Catalogue& catalogue, uint16_t crc);

// Returns: the lowest bank above `after` that the entry names, or kNoBank
// (also for no entry and for a start outside 0..63).
int nextBank(const CatalogueEntry* entry, int after);

// Returns: the lowest bank the entry names, or kNoBank.
int firstBank(const CatalogueEntry* entry);

// Reads "crc.ini" from the current directory into the catalogue, reporting
// faulty lines with their line number. A file that was opened and read is
// kept, whatever its last line holds.
// Returns: kCatalogueOk, or kCatalogueMissing when it cannot be opened or read.
int loadCatalogueFile(const RunSettings& settings, Catalogue& catalogue);

// Loads the built-in table into the catalogue without writing any file.
// Returns: kCatalogueOk.
int loadDefaultCatalogue(const RunSettings& settings, Catalogue& catalogue);

// Writes "crc.ini" from the built-in table (bare line feeds) and loads its entries.
// Returns: kCatalogueOk, or kCatalogueNotCreated when the file cannot be created.
int writeDefaultCatalogue(const RunSettings& settings, Catalogue& catalogue);
