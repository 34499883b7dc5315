// Prints what the checks find, as it is found: aligned tables for people,
// JSON for scripts. The reader hands each block over once, as it is read;
// the reports only print, so nothing grows with the size of a file.
#pragma once

#include <string>
#include <vector>

#include "inspect/file_checks.h"
#include "inspect/image_compare.h"

// Returns: why a file could not be inspected, for a status other than Read.
std::string inspectStatusText(const InspectedFile& file);

using TableRow = std::vector<std::string>;

// Items of a table that share one row: the first, and how many follow it.
template <typename Item>
struct FoldedRun {
    Item first{};
    long count = 0;
};

// What a report keeps between the calls of one run.
struct ReportState {
    explicit ReportState(const Catalogue& catalogue) : catalogue(catalogue) {}
    const Catalogue& catalogue;
    bool firstFile = true;          // JSON: no comma before the first file's entry
    bool firstEntry = true;         // JSON: no comma before a file's first block or bank
    FoldedRun<BlockReport> blocks;  // tables: the row not yet printed
    FoldedRun<BankComparison> banks;
    std::vector<TableRow> loaders;  // tables: the bank loader files, shown together at the end
};

// A report: what is printed for each step of the reading, in the order
// the reader takes them. A file that cannot be inspected gets uninspected
// alone; an opened one fileStart, a block call for each block read, then
// fileEnd (with the file's status telling whether it was read to its end).
struct ReportFormat {
    void (*head)(ReportState& state, const std::string& catalogueSource);
    void (*uninspected)(ReportState& state, const InspectedFile& file);
    void (*fileStart)(ReportState& state, const InspectedFile& file);
    void (*block)(ReportState& state, const InspectedFile& file, const BlockReport& block);
    void (*fileEnd)(ReportState& state, const InspectedFile& file);
    void (*end)(ReportState& state);
    // A comparison: compareStart, a compareBank call for each bank read,
    // then compareEnd; or compareUnopened when a side is no readable image.
    void (*compareStart)(ReportState& state, const std::string& catalogueSource, const ImageComparison& comparison);
    void (*compareBank)(ReportState& state, const BankComparison& bank);
    void (*compareEnd)(ReportState& state, const ImageComparison& comparison);
    void (*compareUnopened)(ReportState& state, const std::string& catalogueSource, const ImageComparison& comparison);
};

extern const ReportFormat kTableReport;
extern const ReportFormat kJsonReport;

// A run that ends before any file is read, as one JSON document: why.
void printFailureJson(const std::string& catalogueSource, const std::string& why);
