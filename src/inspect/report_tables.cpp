// Prints what the checks find as tables, row by row as the blocks are read.
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

std::string crcText(const BlockReport& block) {
    return block.content == BlockContent::Blank ? "" : hexText(block.crc, 4);
}

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

// Adds item to the run waiting for its row when it joins the run's first;
// else prints that run's row (print(first, count)) and starts a new run.
template <typename Item, typename Joins, typename Print>
void fold(FoldedRun<Item>& run, const Item& item, Joins joins, Print print) {
    if (run.count > 0 && joins(run.first, item)) {
        ++run.count;
        return;
    }
    if (run.count > 0) print(run.first, run.count);
    run.first = item;
    run.count = 1;
}

// Prints the row of the run still waiting, if any.
template <typename Item, typename Print>
void flush(FoldedRun<Item>& run, Print print) {
    if (run.count > 0) print(run.first, run.count);
    run.count = 0;
}

Widths imageWidths(const ReportState& state) { return {kIndexWidth, contentWidth(state.catalogue), kCrcWidth}; }

Widths romWidths(const ReportState& state, const InspectedFile& rom) {
    const long blocks = std::get<RomReport>(rom.report).reading.blocks;
    const std::size_t digits = std::max<std::size_t>(2, hexText(static_cast<unsigned>(blocks - 1), 1).size());
    return {std::max(kIndexWidth, 2 * digits + 1), kCrcWidth, contentWidth(state.catalogue)};
}

// Runs of blank banks share a row in an image; runs of blocks with the same
// content and CRC-16 in a ROM file.
bool joinsRun(const InspectedFile& file, const BlockReport& first, const BlockReport& block) {
    if (kindOf(file) == InspectedKind::Image)
        return first.content == BlockContent::Blank && block.content == BlockContent::Blank;
    return first.content == block.content && first.crc == block.crc;
}

void printBlockRow(const ReportState& state, const InspectedFile& file, const BlockReport& block, long count) {
    if (kindOf(file) == InspectedKind::Image) {
        Row row{indexRange(block.index, count), contentText(block), crcText(block)};
        if (block.misplaced) row.push_back("misplaced: the catalogue names " + bankList(block.entry));
        printRow(imageWidths(state), row);
    } else {
        printRow(romWidths(state, file),
            {indexRange(block.index, count), hexText(block.crc, 4), contentText(block), bankList(block.entry)});
    }
}

// The disk's shape in words: "35 tracks (.d64)", "40 tracks with error
// bytes, the BAM of tracks 36-40 as SpeedDOS keeps it (.d64)".
std::string diskShapeText(const DiskReport& disk) {
    std::string text = std::to_string(disk.shape.tracks) + " tracks";
    if (disk.shape.errorBytes) text += " with error bytes";
    if (disk.shape.tracks == kD64LongTracks) {
        text += disk.longBam == LongBam::SpeedDos     ? ", the BAM of tracks 36-40 as SpeedDOS keeps it"
                : disk.longBam == LongBam::DolphinDos ? ", the BAM of tracks 36-40 as DolphinDOS keeps it"
                                                      : ", no BAM of tracks 36-40";
    }
    return text + (disk.shape.format == DiskFormat::D64 ? " (.d64)" : " (.d81)");
}

std::string loaderVerdict(const LoaderReport& report) {
    if (report.damaged) return "damaged";
    if (!report.hasFlasher) return "no flasher records";
    if (report.bankByte >= kBankCount) return "bank " + hexText(report.bankByte, 2) + " is not in the flash (00-3f)";
    if (report.entry == nullptr) return "unknown block";
    if (!report.bankNamed) return "bank not named for this ROM (" + bankList(report.entry) + ")";
    return "ok";
}

std::string damageText(const LoaderReport& report) {
    return "damaged at offset " + std::to_string(report.damageOffset) + " (0x" +
           hexText(static_cast<unsigned>(report.damageOffset), 4) + "): " + report.damage;
}

Row loaderRow(const InspectedFile& file) {
    const LoaderReport& report = std::get<LoaderReport>(file.report);
    if (report.damaged) {
        Row row(8, "-");
        row[0] = tableText(file.path);
        row.push_back(damageText(report));
        return row;
    }
    const bool flasher = report.hasFlasher;
    return {tableText(file.path), flasher ? hexText(report.flasherAddress, 4) : "-",
        flasher ? std::to_string(report.flasherSize) : "-", flasher ? hexText(report.bankByte, 2) : "-",
        hexText(report.blockStart, 4), std::to_string(report.blockSize), hexText(report.crc, 4), romName(report.entry),
        loaderVerdict(report)};
}

// The kind, bank, ROM and verdict of a file on a disk.
Row diskFileCells(const DiskFileCheck& check) {
    if (!check.chained) return {"-", "-", "-", "no file: an entry without a chain (a separator)"};
    if (!check.whole) return {"-", "-", "-", "not checked: its chain is damaged"};
    if (!check.told) return {"other", "-", "-", "not a file of quillmore-flashtool"};
    const BlockCounts& counts = check.counts;
    switch (check.kind) {
        case InspectedKind::Loader: {
            const LoaderReport& report = check.loader;
            if (report.damaged) return {"bank loader file", "-", "-", damageText(report)};
            return {"bank loader file", report.hasFlasher ? hexText(report.bankByte, 2) : "-", romName(report.entry),
                loaderVerdict(report)};
        }
        case InspectedKind::Rom:
            return {"ROM file", "-", "-",
                check.blocks == 0    ? "no whole block"
                : counts.unknown > 0 ? "unknown blocks: " + std::to_string(counts.unknown)
                                     : "ok"};
        default:
            return {"flash image", "-", "-",
                counts.unknown + counts.misplaced == 0 ? "ok"
                                                       : "unknown: " + std::to_string(counts.unknown) +
                                                             ", misplaced: " + std::to_string(counts.misplaced)};
    }
}

// A disk image: its header, a row for each file, the damage found and the blocks lost.
void printDisk(const InspectedFile& file) {
    const DiskReport& disk = std::get<DiskImageReport>(file.report).disk;
    const std::vector<DiskFileCheck>& checks = std::get<DiskImageReport>(file.report).files;
    progressAlways("%s: disk image, %s\n", tableText(file.path).c_str(), diskShapeText(disk).c_str());
    progressAlways("disk name \"%s\", id %s, %ld blocks free\n", tableText(disk.name).c_str(),
        tableText(disk.id).c_str(), disk.blocksFree);
    std::vector<Row> rows{{"name", "type", "blocks", "kind", "bank", "rom", "check"}};
    long good = 0;
    for (std::size_t i = 0; i < disk.files.size(); ++i) {
        const DiskFile& entry = disk.files[i];
        Row row{tableText(entry.name), diskFileType(entry.type), std::to_string(entry.blocks)};
        const DiskFileCheck& check = checks[i];
        Row cells = diskFileCells(check);
        if (check.whole && check.damaged) cells.back() += "; damaged: see below";
        row.insert(row.end(), cells.begin(), cells.end());
        rows.push_back(row);
        good += check.chained && check.whole && check.good ? 1 : 0;
    }
    if (!disk.files.empty()) printAligned(rows);
    for (const std::string& damage : disk.damage) progressAlways("damage: %s\n", tableText(damage).c_str());
    if (disk.lost > 0) {
        std::string sectors;
        for (const std::string& sector : disk.lostSectors) sectors += (sectors.empty() ? "" : ", ") + sector;
        progressAlways(
            "lost: %s marked used in the BAM that no file holds (%s%s): the drive's validate command "
            "frees them\n",
            countText(disk.lost, "block").c_str(), sectors.c_str(),
            disk.lost > static_cast<long>(disk.lostSectors.size()) ? ", ..." : "");
    }
    progressAlways("files: %ld, good: %ld, damage found: %ld\n", static_cast<long>(disk.files.size()), good,
        static_cast<long>(disk.damage.size()));
}

// A catalogue's rows in line order: its entries, and the lines refused.
void printCatalogue(const CatalogueReport& report) {
    const std::vector<CatalogueEntry>& entries = report.catalogue.entries;
    std::size_t banksWidth = displayWidth("banks");
    for (const CatalogueEntry& entry : entries) banksWidth = std::max(banksWidth, bankList(&entry).size());
    const Widths widths{std::max<std::size_t>(4, std::to_string(report.lines).size()), kCrcWidth, banksWidth};
    printRow(widths, {"line", "crc-16", "banks", "name"});
    std::size_t entry = 0, refused = 0;
    while (entry < entries.size() || refused < report.refused.size()) {
        if (refused == report.refused.size() ||
            (entry < entries.size() && report.entryLines[entry] < report.refused[refused].line)) {
            const CatalogueEntry& e = entries[entry];
            printRow(widths,
                {std::to_string(report.entryLines[entry++]), hexText(e.crc, 4), bankList(&e), tableText(e.name)});
        } else {
            const RefusedLine& line = report.refused[refused++];
            printRow(widths,
                {std::to_string(line.line),
                    "refused (rc=" + std::to_string(static_cast<int>(line.status)) + "): " + refusalText(line.status)});
        }
    }
    for (const RepeatedCrc& repeated : report.repeated) {
        std::string lines;
        for (std::size_t i = 0; i < repeated.lines.size(); ++i) {
            lines += (i == 0                              ? ""
                         : i + 1 == repeated.lines.size() ? " and "
                                                          : ", ") +
                     std::to_string(repeated.lines[i]);
        }
        progressAlways("%s listed on lines %s: quillmore-flashtool uses line %d\n", hexText(repeated.crc, 4).c_str(),
            lines.c_str(), repeated.used);
    }
    progressAlways("lines: %d, entries: %ld, refused: %ld, listed again: %ld\n", report.lines,
        static_cast<long>(entries.size()), static_cast<long>(report.refused.size()),
        static_cast<long>(report.repeated.size()));
}

void reportUninspected(const InspectedFile& file) {
    reportError("quillmore-flashinfo: %s: %s\n", tableText(file.path).c_str(), inspectStatusText(file).c_str());
}

}  // namespace

std::string inspectStatusText(const InspectedFile& file) {
    switch (file.status) {
        case InspectStatus::CannotOpen: return "cannot open file";
        case InspectStatus::NotRegular: return "not a regular file";
        case InspectStatus::ReadError: return "error reading file";
        case InspectStatus::NotImage:
            return "not a flash image: " + countText(file.size, "byte") + ", where a flash image has " +
                   std::to_string(kFlashImageSize);
        case InspectStatus::Unrecognised:
            return "not a file the flash tool reads or writes: " + countText(file.size, "byte") +
                   ", where a flash image has " + std::to_string(kFlashImageSize) + ", a ROM file a multiple of " +
                   std::to_string(kBlockSize) + " (or that plus 2), a bank loader file at most " +
                   std::to_string(kMaxBankLoaderFileSize) + " starting with a loader record, a disk image " +
                   std::to_string(kD64Size) + ", " + std::to_string(kD64WithErrorsSize) + ", " +
                   std::to_string(kD64LongSize) + " or " + std::to_string(kD64LongWithErrorsSize) + " (.d64), " +
                   std::to_string(kD81Size) + " or " + std::to_string(kD81WithErrorsSize) +
                   " bytes (.d81), and a catalogue text in lines \"CRC; BANKS; NAME\"";
        default: return "";
    }
}

namespace {

void tableHead(ReportState&, const std::string& catalogueSource) {
    progressAlways("catalogue: %s\n", tableText(catalogueSource).c_str());
}

void tableUninspected(ReportState&, const InspectedFile& file) { reportUninspected(file); }

void tableFileStart(ReportState& state, const InspectedFile& file) {
    switch (kindOf(file)) {
        case InspectedKind::Image:
            progressAlways("%s: flash image\n", tableText(file.path).c_str());
            printRow(imageWidths(state), {"bank", "content", "crc-16", "note"});
            break;
        case InspectedKind::Rom: {
            const RomReport& rom = std::get<RomReport>(file.report);
            progressAlways("%s: ROM file%s\n", tableText(file.path).c_str(),
                rom.hasLoadAddress ? (", load address " + hexText(rom.loadAddress, 4)).c_str() : "");
            if (rom.reading.blocks == 0) {
                progressAlways("no whole block: quillmore-flashtool writes nothing for it\n");
            } else {
                printRow(romWidths(state, file), {"block", "crc-16", "content", "banks"});
            }
            break;
        }
        case InspectedKind::Loader: state.loaders.push_back(loaderRow(file)); break;
        case InspectedKind::Catalogue:
            progressAlways("%s: catalogue\n", tableText(file.path).c_str());
            printCatalogue(std::get<CatalogueReport>(file.report));
            break;
        case InspectedKind::Disk: printDisk(file); break;
    }
}

void tableBlock(ReportState& state, const InspectedFile& file, const BlockReport& block) {
    fold(
        state.blocks, block,
        [&](const BlockReport& first, const BlockReport& next) { return joinsRun(file, first, next); },
        [&](const BlockReport& first, long count) { printBlockRow(state, file, first, count); });
}

void tableFileEnd(ReportState& state, const InspectedFile& file) {
    flush(state.blocks, [&](const BlockReport& first, long count) { printBlockRow(state, file, first, count); });
    if (file.status != InspectStatus::Read) {
        reportUninspected(file);  // cut short by a read error
        return;
    }
    const BlockReading* reading = readingOf(file);
    if (reading == nullptr) return;
    const BlockCounts& counts = reading->counts;
    if (kindOf(file) == InspectedKind::Image) {
        progressAlways("banks used: %ld, blank: %ld, unknown: %ld, misplaced: %ld\n", counts.used, counts.blank,
            counts.unknown, counts.misplaced);
    } else if (reading->blocks > 0) {
        progressAlways("blocks: %ld, known: %ld, blank: %ld, unknown: %ld\n", reading->blocks,
            counts.used - counts.unknown, counts.blank, counts.unknown);
    }
}

void tableEnd(ReportState& state) {
    if (state.loaders.empty()) return;
    std::vector<Row> rows{{"file", "flasher", "size", "bank", "block", "size", "crc-16", "rom", "check"}};
    rows.insert(rows.end(), state.loaders.begin(), state.loaders.end());
    printAligned(rows);
}

Widths comparisonWidths(const ReportState& state) {
    const std::size_t content = contentWidth(state.catalogue);
    return {kIndexWidth, content, kCrcWidth, content, kCrcWidth, displayWidth("differing"), displayWidth("first at")};
}

// The bank loader file that programs a differing bank again, and whether the folder has it.
std::string againText(const BankComparison& bank) {
    std::string name = tableText(bankLoaderFileName(static_cast<int>(bank.expected.index)));
    switch (bank.again) {
        case LoaderAgain::Holds: return name;
        case LoaderAgain::Missing: return name + " (not here)";
        case LoaderAgain::Other: return name + " (holds other data)";
        default: return "-";
    }
}

void printComparisonRow(const ReportState& state, const BankComparison& bank, long count) {
    if (bank.differingBytes == 0) {
        printRow(comparisonWidths(state), {indexRange(bank.expected.index, count), "same"});
        return;
    }
    printRow(comparisonWidths(state),
        {indexRange(bank.expected.index, 1), contentText(bank.expected), crcText(bank.expected),
            contentText(bank.found), crcText(bank.found), std::to_string(bank.differingBytes),
            hexText(static_cast<unsigned>(bank.firstDifference), 6), againText(bank)});
}

void tableCompareStart(ReportState& state, const std::string& catalogueSource, const ImageComparison& comparison) {
    tableHead(state, catalogueSource);
    progressAlways("compare: %s (expected) with %s (found)\n", tableText(comparison.expected.path).c_str(),
        tableText(comparison.found.path).c_str());
    printRow(comparisonWidths(state),
        {"bank", "expected", "crc-16", "found", "crc-16", "differing", "first at", "send again"});
}

void tableCompareBank(ReportState& state, const BankComparison& bank) {
    // Runs of equal banks share a row; every differing bank has its own.
    fold(
        state.banks, bank,
        [](const BankComparison& first, const BankComparison& next) {
            return first.differingBytes == 0 && next.differingBytes == 0;
        },
        [&](const BankComparison& first, long count) { printComparisonRow(state, first, count); });
}

void tableCompareEnd(ReportState& state, const ImageComparison& comparison) {
    flush(state.banks, [&](const BankComparison& first, long count) { printComparisonRow(state, first, count); });
    for (const InspectedFile* side : {&comparison.expected, &comparison.found}) {
        if (side->status != InspectStatus::Read) {
            reportUninspected(*side);
            return;
        }
    }
    progressAlways("banks: %ld, same: %ld, differ: %ld\n", comparison.same + comparison.differ, comparison.same,
        comparison.differ);
}

// The reader has said on the error channel why a side cannot be compared.
void tableCompareUnopened(ReportState&, const std::string&, const ImageComparison&) {}

}  // namespace

const ReportFormat kTableReport{tableHead, tableUninspected, tableFileStart, tableBlock, tableFileEnd, tableEnd,
    tableCompareStart, tableCompareBank, tableCompareEnd, tableCompareUnopened};
