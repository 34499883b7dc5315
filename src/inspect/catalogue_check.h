// Checking a catalogue file as the tool reads crc.ini: its entries, the lines
// its parser refuses, and the CRC-16s listed more than once, with the line the
// tool's lookup takes for each.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_line.h"

struct RefusedLine {
    int line = 0;
    LineStatus status = LineStatus::MissingSeparator;
};

struct RepeatedCrc {
    uint16_t crc = 0;
    std::vector<int> lines;  // every line that lists it
    int used = 0;            // the line whose entry the tool finds
};

struct CatalogueReport {
    Catalogue catalogue;          // the entries in line order, as the tool holds them
    std::vector<int> entryLines;  // the line of each entry
    std::vector<RefusedLine> refused;
    std::vector<RepeatedCrc> repeated;  // in the order of their first lines
    int lines = 0;
};

// Returns: true when the bytes could be the start of a catalogue: text, without a zero byte.
bool looksLikeText(const uint8_t* bytes, std::size_t size);

// Reads the whole file from its start as the tool reads crc.ini.
// Returns: false when it could not be read to its end.
bool readCatalogueReport(std::FILE* file, CatalogueReport& report);

// Returns: why the parser refuses a line of this status, in words.
const char* refusalText(LineStatus status);
