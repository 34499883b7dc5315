// The catalogue file "crc.ini" and the built-in default catalogue.
#pragma once

#include <cstdint>

#include "catalogue/catalogue.h"

enum class CatalogueStatus {
    Ok = 0,
    NotSaved = 1,     // the default entries are loaded, but "crc.ini" could not be written
    Missing = -2,     // there is no "crc.ini"
    NotCreated = -3,  // "crc.ini" cannot be created
    Unreadable = -4,  // "crc.ini" is there, but not a regular file or not readable
};

constexpr const char* kCatalogueFileName = "crc.ini";

// Reads "crc.ini" from the current directory into the catalogue, reporting
// faulty lines with their line number. A file that was opened and read is
// kept, whatever its last line holds.
// Returns: Ok, Missing (after its message) or
// Unreadable (the caller reports it: an existing catalogue is never replaced).
CatalogueStatus loadCatalogueFile(int32_t verbosity, Catalogue& catalogue);

// Loads the built-in table into the catalogue without writing any file.
void loadDefaultCatalogue(Catalogue& catalogue);

// Writes "crc.ini" from the built-in table (bare line feeds), whole or not
// at all, never over a "crc.ini" that appeared meanwhile, and loads its
// entries. A "crc.ini" that appeared meanwhile with exactly the default
// bytes counts as written.
// Returns: Ok, NotCreated, or NotSaved when
// writing failed after the entries were loaded.
CatalogueStatus writeDefaultCatalogue(int32_t verbosity, Catalogue& catalogue);
