// Prints what the checks found as tables.
#include <algorithm>

#include "base/console.h"
#include "base/flash_geometry.h"
#include "inspect/display_text.h"
#include "inspect/report_printing.h"
#include "output/bank_loader.h"

namespace {

using Row = std::vector<std::string>;

std::string bankList(const CatalogueEntry* entry) {
    std::string list;
    for (int bank = firstBank(entry); bank != kNoBank; bank = nextBank(entry, bank)) {
        list += (list.empty() ? "" : " ") + hexText(static_cast<unsigned>(bank), 2);
    }
    return list;
}

std::string romName(const CatalogueEntry* entry) { return entry != nullptr ? tableText(entry->name) : "unknown"; }

// Rows of cells printed with every column as wide as its widest cell.
void printAligned(const std::vector<Row>& rows) {
    std::vector<std::size_t> widths;
    for (const Row& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], displayWidth(row[i]));
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) line += std::string(widths[i] - displayWidth(row[i]) + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        progressAlways("%s\n", line.c_str());
    }
}

void printImageTable(const InspectedFile& file) {
    const BlockCounts& counts = file.image.counts;
    progressAlways("%s: flash image\n", tableText(file.path).c_str());
    std::vector<Row> rows{{"bank", "content", "crc-16", "note"}};
    const std::vector<BlockReport>& banks = file.image.banks;
    for (std::size_t i = 0; i < banks.size(); ++i) {
        const BlockReport& bank = banks[i];
        if (bank.content == BlockContent::Blank) {
            // A run of blank banks is one row.
            std::size_t last = i;
            while (last + 1 < banks.size() && banks[last + 1].content == BlockContent::Blank) ++last;
            const std::string first = hexText(static_cast<unsigned>(bank.index), 2);
            rows.push_back({last == i ? first : first + "-" + hexText(static_cast<unsigned>(banks[last].index), 2), "blank"});
            i = last;
            continue;
        }
        Row row{hexText(static_cast<unsigned>(bank.index), 2), romName(bank.entry), hexText(bank.crc, 4)};
        if (bank.misplaced) row.push_back("misplaced: the catalogue names " + bankList(bank.entry));
        rows.push_back(row);
    }
    printAligned(rows);
    progressAlways("banks used: %d, blank: %d, unknown: %d, misplaced: %d\n", counts.used, counts.blank, counts.unknown,
                   counts.misplaced);
}

void printRomTable(const InspectedFile& file) {
    const RomReport& rom = file.rom;
    progressAlways("%s: ROM file%s\n", tableText(file.path).c_str(),
                   rom.hasLoadAddress ? (", load address " + hexText(rom.loadAddress, 4)).c_str() : "");
    std::vector<Row> rows{{"block", "crc-16", "content", "banks"}};
    for (const BlockReport& block : rom.blocks) {
        const std::string content = block.content == BlockContent::Blank ? "blank" : romName(block.entry);
        rows.push_back({hexText(static_cast<unsigned>(block.index), 2), hexText(block.crc, 4), content, bankList(block.entry)});
    }
    printAligned(rows);
    progressAlways("blocks: %d, known: %d, blank: %d, unknown: %d\n", static_cast<int>(rom.blocks.size()),
                   rom.counts.used - rom.counts.unknown, rom.counts.blank, rom.counts.unknown);
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

}  // namespace

std::string inspectStatusText(const InspectedFile& file) {
    switch (file.status) {
        case kInspectCannotOpen: return "cannot open file";
        case kInspectNotRegular: return "not a regular file";
        case kInspectReadError: return "error reading file";
        case kInspectUnrecognised:
            return "not a file the flash tool reads or writes: " + std::to_string(file.size) +
                   " bytes, where a flash image has " + std::to_string(kFlashImageSize) + ", a ROM file a multiple of " +
                   std::to_string(kBlockSize) + " (or that plus 2), and a bank loader file at most " +
                   std::to_string(kMaxBankLoaderFileSize) + " starting with a loader record";
        default: return "";
    }
}

void printReportTables(const std::string& catalogueSource, const std::vector<InspectedFile>& files) {
    progressAlways("catalogue: %s\n", catalogueSource.c_str());
    std::vector<Row> loaders{{"file", "flasher", "size", "bank", "block", "size", "crc-16", "rom", "check"}};
    for (const InspectedFile& file : files) {
        if (file.status != kInspectRead) {
            reportError("quillmore-flashinfo: %s: %s\n", tableText(file.path).c_str(), inspectStatusText(file).c_str());
        } else if (file.kind == InspectedKind::Image) {
            printImageTable(file);
        } else if (file.kind == InspectedKind::Rom) {
            printRomTable(file);
        } else {
            loaders.push_back(loaderRow(file));
        }
    }
    if (loaders.size() > 1) printAligned(loaders);
}
