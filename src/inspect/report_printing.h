// Prints what the checks find as they find it: aligned tables for people,
// JSON for scripts. The blocks of an image or a ROM file are printed as they
// are read, so nothing grows with the size of a file.
#pragma once

#include <string>
#include <vector>

#include "inspect/file_checks.h"
#include "inspect/image_compare.h"

// Returns: why a file could not be inspected, for a status other than kInspectRead.
std::string inspectStatusText(const InspectedFile& file);

// The bank loader files of a run, shown together in one table at its end.
using TableRow = std::vector<std::string>;
using LoaderRows = std::vector<TableRow>;

// Tables: the catalogue line; then every file as it is read (an image or a
// ROM file in a table of its own, a file that cannot be inspected on the
// error channel, a bank loader file kept for the table at the end).
void printTablesHead(const std::string& catalogueSource);
void printFileTables(const Catalogue& catalogue, InspectedFile& file, LoaderRows& loaders);
void printLoaderTable(const LoaderRows& loaders);

// JSON: one document, each file an entry of "files" printed as it is read.
void printJsonHead(const std::string& catalogueSource);
void printFileJson(const Catalogue& catalogue, InspectedFile& file, bool first);
void printJsonEnd();

// A run that ends before any file is read, as one JSON document: why.
void printFailureJson(const std::string& catalogueSource, const std::string& why);

// A comparison of two images, bank by bank as they are read, as a table
// (of two opened images) or as one JSON document (with the error of a side
// that could not be opened).
void printComparisonTable(const Catalogue& catalogue, const std::string& catalogueSource, ImageComparison& comparison);
void printComparisonJson(const Catalogue& catalogue, const std::string& catalogueSource, ImageComparison& comparison);
