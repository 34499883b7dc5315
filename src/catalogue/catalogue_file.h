// The catalogue file "crc.ini" and the built-in default catalogue.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"

constexpr int kCatalogueOk = 0;
constexpr int kCatalogueNotSaved = 1;     // the default entries are loaded, but "crc.ini" could not be written
constexpr int kCatalogueMissing = -2;     // there is no "crc.ini"
constexpr int kCatalogueNotCreated = -3;  // "crc.ini" cannot be created
constexpr int kCatalogueUnreadable = -4;  // "crc.ini" is there, but not a regular file or not readable

constexpr const char* kCatalogueFileName = "crc.ini";

// Reads "crc.ini" from the current directory into the catalogue, reporting
// faulty lines with their line number. A file that was opened and read is
// kept, whatever its last line holds.
// Returns: kCatalogueOk, kCatalogueMissing (after its message) or
// kCatalogueUnreadable (the caller reports it: an existing catalogue is never replaced).
int loadCatalogueFile(int32_t verbosity, Catalogue& catalogue);

// Loads the built-in table into the catalogue without writing any file.
void loadDefaultCatalogue(Catalogue& catalogue);

// Writes "crc.ini" from the built-in table (bare line feeds), whole or not
// at all, never over a "crc.ini" that appeared meanwhile, and loads its
// entries. A "crc.ini" that appeared meanwhile with exactly the default
// bytes counts as written.
// Returns: kCatalogueOk, kCatalogueNotCreated, or kCatalogueNotSaved when
// writing failed after the entries were loaded.
int writeDefaultCatalogue(int32_t verbosity, Catalogue& catalogue);
