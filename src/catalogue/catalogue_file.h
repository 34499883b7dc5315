// The catalogue file "crc.ini" and the built-in default catalogue.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"

constexpr int kCatalogueOk = 0;
constexpr int kCatalogueMissing = -2;     // "crc.ini" cannot be opened or read at all
constexpr int kCatalogueNotCreated = -3;  // "crc.ini" cannot be created

constexpr const char* kCatalogueFileName = "crc.ini";

// Reads "crc.ini" from the current directory into the catalogue, reporting
// faulty lines with their line number. A file that was opened and read is
// kept, whatever its last line holds.
// Returns: kCatalogueOk, or kCatalogueMissing when it cannot be opened or read.
int loadCatalogueFile(int32_t verbosity, Catalogue& catalogue);

// Loads the built-in table into the catalogue without writing any file.
void loadDefaultCatalogue(Catalogue& catalogue);

// Writes "crc.ini" from the built-in table (bare line feeds) and loads its entries.
// Returns: kCatalogueOk, or kCatalogueNotCreated when the file cannot be created.
int writeDefaultCatalogue(int32_t verbosity, Catalogue& catalogue);
