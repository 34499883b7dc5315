// Prints what the checks find as tables, row by row as the file is read.
#include <algorithm>

#include "base/console.h"
#include "base/flash_geometry.h"
#include "inspect/display_text.h"
#include "inspect/report_printing.h"
#include "output/bank_loader.h"

namespace {

using Row = TableRow;
using Widths = std::vector<std::size_t>;  // of every column but the last, which is never padded

constexpr std::size_t kIndexWidth = 5;  // "00-0a", and the heading "block"
constexpr std::size_t kCrcWidth = 6;    // the heading "crc-16"

std::string bankList(const CatalogueEntry* entry) {
    std::string list;
    for (int bank = firstBank(entry); bank != kNoBank; bank = nextBank(entry, bank)) {
        list += (list.empty() ? "" : " ") + hexText(static_cast<unsigned>(bank), 2);
    }
    return list;
}

std::string romName(const CatalogueEntry* entry) { return entry != nullptr ? tableText(entry->name) : "unknown"; }

std::string contentText(const BlockReport& block) {
    return block.content == BlockContent::Blank ? "blank" : romName(block.entry);
}

std::string crcText(const BlockReport& block) { return block.content == BlockContent::Blank ? "" : hexText(block.crc, 4); }

// A content column is as wide as the widest name it can show: those of the
// catalogue, known before the first row, so rows need not wait for the last.
std::size_t contentWidth(const Catalogue& catalogue) {
    std::size_t width = displayWidth("content");
    for (const CatalogueEntry& entry : catalogue.entries) width = std::max(width, displayWidth(tableText(entry.name)));
    return width;
}

// A run of count blocks from first, as "05" or "05-0a".
std::string indexRange(long first, long count) {
    const std::string from = hexText(static_cast<unsigned>(first), 2);
    return count == 1 ? from : from + "-" + hexText(static_cast<unsigned>(first + count - 1), 2);
}

void printRow(const Widths& widths, const Row& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        line += row[i];
        if (i < widths.size()) line += std::string(widths[i] - std::min(widths[i], displayWidth(row[i])) + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    progressAlways("%s\n", line.c_str());
}

// Rows of cells printed with every column as wide as its widest cell.
void printAligned(const std::vector<Row>& rows) {
    Widths widths;
    for (const Row& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], displayWidth(row[i]));
    }
    for (const Row& row : rows) printRow(widths, row);
}

// Prints the items next gives, each as it comes; a run of items that each
// join the run's first shares one row: print(first, count).
template <typename Item, typename Next, typename Joins, typename Print>
void printFolded(Next next, Joins joins, Print print) {
    Item first{};
    Item item{};
    long count = 0;
    while (next(item)) {
        if (count > 0 && joins(first, item)) {
            ++count;
            continue;
        }
        if (count > 0) print(first, count);
        first = item;
        count = 1;
    }
    if (count > 0) print(first, count);
}

void printImageTable(const Catalogue& catalogue, InspectedFile& file) {
    progressAlways("%s: flash image\n", tableText(file.path).c_str());
    const Widths widths{kIndexWidth, contentWidth(catalogue), kCrcWidth};
    printRow(widths, {"bank", "content", "crc-16", "note"});
    printFolded<BlockReport>(
        [&](BlockReport& bank) { return nextBlock(catalogue, file, bank); },
        [](const BlockReport& first, const BlockReport& bank) {
            return first.content == BlockContent::Blank && bank.content == BlockContent::Blank;
        },
        [&](const BlockReport& bank, long count) {
            Row row{indexRange(bank.index, count), contentText(bank), crcText(bank)};
            if (bank.misplaced) row.push_back("misplaced: the catalogue names " + bankList(bank.entry));
            printRow(widths, row);
        });
    if (file.status != kInspectRead) return;
    const BlockCounts& counts = file.counts;
    progressAlways("banks used: %ld, blank: %ld, unknown: %ld, misplaced: %ld\n", counts.used, counts.blank, counts.unknown,
                   counts.misplaced);
}

void printRomTable(const Catalogue& catalogue, InspectedFile& file) {
    progressAlways("%s: ROM file%s\n", tableText(file.path).c_str(),
                   file.hasLoadAddress ? (", load address " + hexText(file.loadAddress, 4)).c_str() : "");
    if (file.blocks == 0) {
        progressAlways("no whole block: quillmore-flashtool writes nothing for it\n");
        return;
    }
    const std::size_t digits = std::max<std::size_t>(2, hexText(static_cast<unsigned>(file.blocks - 1), 1).size());
    const Widths widths{std::max(kIndexWidth, 2 * digits + 1), kCrcWidth, contentWidth(catalogue)};
    printRow(widths, {"block", "crc-16", "content", "banks"});
    printFolded<BlockReport>(
        [&](BlockReport& block) { return nextBlock(catalogue, file, block); },
        [](const BlockReport& first, const BlockReport& block) {
            return first.content == block.content && first.crc == block.crc;
        },
        [&](const BlockReport& block, long count) {
            printRow(widths, {indexRange(block.index, count), hexText(block.crc, 4), contentText(block), bankList(block.entry)});
        });
    if (file.status != kInspectRead) return;
    const BlockCounts& counts = file.counts;
    progressAlways("blocks: %ld, known: %ld, blank: %ld, unknown: %ld\n", file.blocks, counts.used - counts.unknown,
                   counts.blank, counts.unknown);
}

std::string loaderVerdict(const LoaderReport& report) {
    if (report.damaged) return "damaged";
    if (!report.hasFlasher) return "no flasher records";
    if (report.entry == nullptr) return "unknown block";
    if (!report.bankNamed) return "bank not named for this ROM (" + bankList(report.entry) + ")";
    return "ok";
}

Row loaderRow(const InspectedFile& file) {
    const LoaderReport& report = file.loader;
    if (report.damaged) {
        Row row(8, "-");
        row[0] = tableText(file.path);
        row.push_back("damaged at offset " + std::to_string(report.damageOffset) + " (0x" +
                      hexText(static_cast<unsigned>(report.damageOffset), 4) + "): " + report.damage);
        return row;
    }
    const bool flasher = report.hasFlasher;
    return {tableText(file.path), flasher ? hexText(report.flasherAddress, 4) : "-",
            flasher ? std::to_string(report.flasherSize) : "-", flasher ? hexText(report.bankByte, 2) : "-",
            hexText(report.blockStart, 4), std::to_string(report.blockSize), hexText(report.crc, 4),
            romName(report.entry), loaderVerdict(report)};
}

void reportUninspected(const InspectedFile& file) {
    reportError("quillmore-flashinfo: %s: %s\n", tableText(file.path).c_str(), inspectStatusText(file).c_str());
}

}  // namespace

std::string inspectStatusText(const InspectedFile& file) {
    switch (file.status) {
        case kInspectCannotOpen: return "cannot open file";
        case kInspectNotRegular: return "not a regular file";
        case kInspectReadError: return "error reading file";
        case kInspectNotImage:
            return "not a flash image: " + std::to_string(file.size) + " bytes, where a flash image has " +
                   std::to_string(kFlashImageSize);
        case kInspectUnrecognised:
            return "not a file the flash tool reads or writes: " + std::to_string(file.size) +
                   " bytes, where a flash image has " + std::to_string(kFlashImageSize) + ", a ROM file a multiple of " +
                   std::to_string(kBlockSize) + " (or that plus 2), and a bank loader file at most " +
                   std::to_string(kMaxBankLoaderFileSize) + " starting with a loader record";
        default: return "";
    }
}

void printTablesHead(const std::string& catalogueSource) { progressAlways("catalogue: %s\n", tableText(catalogueSource).c_str()); }

void printFileTables(const Catalogue& catalogue, InspectedFile& file, LoaderRows& loaders) {
    if (file.status != kInspectRead) {
        reportUninspected(file);
        return;
    }
    switch (file.kind) {
        case InspectedKind::Image: printImageTable(catalogue, file); break;
        case InspectedKind::Rom: printRomTable(catalogue, file); break;
        case InspectedKind::Loader: loaders.push_back(loaderRow(file)); break;
    }
    if (file.status != kInspectRead) reportUninspected(file);  // cut short by a read error
}

void printLoaderTable(const LoaderRows& loaders) {
    if (loaders.empty()) return;
    std::vector<Row> rows{{"file", "flasher", "size", "bank", "block", "size", "crc-16", "rom", "check"}};
    rows.insert(rows.end(), loaders.begin(), loaders.end());
    printAligned(rows);
}

void printComparisonTable(const Catalogue& catalogue, const std::string& catalogueSource, ImageComparison& comparison) {
    printTablesHead(catalogueSource);
    progressAlways("compare: %s (expected) with %s (found)\n", tableText(comparison.expected.path).c_str(),
                   tableText(comparison.found.path).c_str());
    const std::size_t content = contentWidth(catalogue);
    const Widths widths{kIndexWidth, content, kCrcWidth, content, kCrcWidth, displayWidth("differing")};
    printRow(widths, {"bank", "expected", "crc-16", "found", "crc-16", "differing", "first at"});
    printFolded<BankComparison>(
        [&](BankComparison& bank) { return nextBankComparison(catalogue, comparison, bank); },
        [](const BankComparison& first, const BankComparison& bank) {
            return first.differingBytes == 0 && bank.differingBytes == 0;
        },
        [&](const BankComparison& bank, long count) {
            if (bank.differingBytes == 0) {
                printRow(widths, {indexRange(bank.expected.index, count), "same"});
                return;
            }
            printRow(widths, {indexRange(bank.expected.index, 1), contentText(bank.expected), crcText(bank.expected),
                              contentText(bank.found), crcText(bank.found), std::to_string(bank.differingBytes),
                              hexText(static_cast<unsigned>(bank.firstDifference), 6)});
        });
    for (const InspectedFile* side : {&comparison.expected, &comparison.found}) {
        if (side->status != kInspectRead) {
            reportUninspected(*side);
            return;
        }
    }
    progressAlways("banks: %ld, same: %ld, differ: %ld\n", comparison.same + comparison.differ, comparison.same,
                   comparison.differ);
}
