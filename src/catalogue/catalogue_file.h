// The catalogue file "crc.ini" and the built-in default catalogue.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_line.h"

enum class CatalogueStatus {
    Ok = 0,
    NotSaved = 1,     // the default entries are loaded, but "crc.ini" could not be written
    Missing = -2,     // there is no "crc.ini"
    NotCreated = -3,  // "crc.ini" cannot be created
    Unreadable = -4,  // "crc.ini" is there, but not a regular file or not readable
};

constexpr const char* kCatalogueFileName = "crc.ini";

// Reads an open catalogue file line by line as the tool reads "crc.ini" (a
// line holds at most 159 characters; a longer one is read in pieces, each
// counted as a line), parses each, and hands its number, status and entry to
// take; verbosity gates the parser's bank-range message.
// Returns: false when the file could not be read to its end.
bool readCatalogueLines(
    std::FILE* file, int32_t verbosity, const std::function<void(int line, LineStatus, CatalogueEntry&)>& take);

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
