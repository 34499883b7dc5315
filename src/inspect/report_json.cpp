// Prints what the checks found as one JSON document, with banks, blocks and
// CRCs in the same hexadecimal the tables show.
#include "base/console.h"
#include "inspect/display_text.h"
#include "inspect/report_printing.h"
#include "output/bank_loader.h"

namespace {

std::string quotedHex(unsigned value, int digits) { return "\"" + hexText(value, digits) + "\""; }

std::string jsonBool(bool value) { return value ? "true" : "false"; }

std::string jsonBanks(const CatalogueEntry* entry) {
    std::string list = "[";
    for (int bank = firstBank(entry); bank != kNoBank; bank = nextBank(entry, bank)) {
        list += (list.size() > 1 ? ", " : "") + quotedHex(static_cast<unsigned>(bank), 2);
    }
    return list + "]";
}

std::string jsonRom(const CatalogueEntry* entry, const char* banksKey) {
    if (entry == nullptr) return std::string("\"name\": null, \"") + banksKey + "\": []";
    return "\"name\": " + jsonString(entry->name) + ", \"" + banksKey + "\": " + jsonBanks(entry);
}

// The fields of one block of an image or a ROM file: its index and what it holds.
std::string blockFields(const BlockReport& block, const std::string& key, const char* banksKey, bool blankCrc) {
    std::string text = "\"" + key + "\": " + quotedHex(static_cast<unsigned>(block.index), 2) + ", \"content\": ";
    if (block.content == BlockContent::Blank) {
        return text + "\"blank\"" + (blankCrc ? ", \"crc\": " + quotedHex(block.crc, 4) : "");
    }
    return text + (block.content == BlockContent::Known ? "\"known\"" : "\"unknown\"") +
           ", \"crc\": " + quotedHex(block.crc, 4) + ", " + jsonRom(block.entry, banksKey);
}

std::string imageBlockJson(const BlockReport& bank) {
    return blockFields(bank, "bank", "catalogueBanks", false) +
           (bank.content == BlockContent::Blank ? "" : ", \"misplaced\": " + jsonBool(bank.misplaced));
}

std::string imageSummaryJson(const BlockCounts& counts) {
    return "\"summary\": {\"used\": " + std::to_string(counts.used) + ", \"blank\": " + std::to_string(counts.blank) +
           ", \"unknown\": " + std::to_string(counts.unknown) + ", \"misplaced\": " + std::to_string(counts.misplaced) +
           "}";
}

std::string romSummaryJson(long blocks, const BlockCounts& counts) {
    return "\"summary\": {\"blocks\": " + std::to_string(blocks) +
           ", \"known\": " + std::to_string(counts.used - counts.unknown) +
           ", \"blank\": " + std::to_string(counts.blank) + ", \"unknown\": " + std::to_string(counts.unknown) + "}";
}

std::string loaderJson(const LoaderReport& report, bool good) {
    std::string text = "\"kind\": \"bank loader\", \"ok\": " + jsonBool(good);
    if (report.damaged) {
        return text + ", \"damage\": {\"offset\": " + std::to_string(report.damageOffset) +
               ", \"kind\": " + jsonString(report.damage) + "}";
    }
    text += ", \"damage\": null, \"flasher\": ";
    text += report.hasFlasher ? "{\"loadAddress\": " + quotedHex(report.flasherAddress, 4) +
                                    ", \"size\": " + std::to_string(report.flasherSize) +
                                    ", \"bank\": " + quotedHex(report.bankByte, 2) +
                                    ", \"inFlash\": " + jsonBool(report.bankByte < kBankCount) + "}"
                              : "null";
    return text + ", \"block\": {\"start\": " + quotedHex(report.blockStart, 4) +
           ", \"size\": " + std::to_string(report.blockSize) + ", \"crc\": " + quotedHex(report.crc, 4) + ", " +
           jsonRom(report.entry, "catalogueBanks") + ", \"bankNamed\": " + jsonBool(report.bankNamed) + "}";
}

std::string sideJson(const BlockReport& block) {
    if (block.content == BlockContent::Blank) return "{\"content\": \"blank\"}";
    const std::string known = block.entry != nullptr ? "\"known\", \"crc\": " + quotedHex(block.crc, 4) +
                                                           ", \"name\": " + jsonString(block.entry->name)
                                                     : "\"unknown\", \"crc\": " + quotedHex(block.crc, 4);
    return "{\"content\": " + known + "}";
}

// The bank loader file that programs the bank again: its name, whether the
// folder has it, and whether it carries the expected block; null for a bank
// expected blank.
std::string loaderAgainJson(const BankComparison& bank) {
    if (bank.again == LoaderAgain::None) return "null";
    return "{\"file\": " + jsonString(bankLoaderFileName(static_cast<int>(bank.expected.index))) +
           ", \"present\": " + jsonBool(bank.again != LoaderAgain::Missing) +
           ", \"matches\": " + jsonBool(bank.again == LoaderAgain::Holds) + "}";
}

std::string bankComparisonJson(const BankComparison& bank) {
    const std::string head = "\"bank\": " + quotedHex(static_cast<unsigned>(bank.expected.index), 2) + ", \"same\": ";
    if (bank.differingBytes == 0) return head + "true";
    return head + "false, \"differingBytes\": " + std::to_string(bank.differingBytes) +
           ", \"firstDifference\": " + quotedHex(static_cast<unsigned>(bank.firstDifference), 6) +
           ", \"expected\": " + sideJson(bank.expected) + ", \"found\": " + sideJson(bank.found) +
           ", \"loader\": " + loaderAgainJson(bank);
}

// Prints a catalogue's entries, refused lines and CRC-16s listed more than
// once, with its summary, item by item: a catalogue of a million lines
// takes no more memory for its report than for its entries.
void printCatalogueJson(const CatalogueReport& report) {
    const std::vector<CatalogueEntry>& entries = report.catalogue.entries;
    progressAlways("\"kind\": \"catalogue\", \"entries\": [");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        progressAlways("%s    {\"line\": %d, \"crc\": %s, \"banks\": %s, \"name\": %s}", i == 0 ? "\n" : ",\n",
            report.entryLines[i], quotedHex(entries[i].crc, 4).c_str(), jsonBanks(&entries[i]).c_str(),
            jsonString(entries[i].name).c_str());
    }
    progressAlways("],\n   \"refused\": [");
    for (std::size_t i = 0; i < report.refused.size(); ++i) {
        const RefusedLine& line = report.refused[i];
        progressAlways("%s{\"line\": %d, \"status\": %d, \"why\": %s}", i == 0 ? "" : ", ", line.line,
            static_cast<int>(line.status), jsonString(refusalText(line.status)).c_str());
    }
    progressAlways("],\n   \"listedAgain\": [");
    for (std::size_t i = 0; i < report.repeated.size(); ++i) {
        const RepeatedCrc& repeated = report.repeated[i];
        progressAlways("%s{\"crc\": %s, \"lines\": [", i == 0 ? "" : ", ", quotedHex(repeated.crc, 4).c_str());
        for (std::size_t j = 0; j < repeated.lines.size(); ++j)
            progressAlways("%s%d", j == 0 ? "" : ", ", repeated.lines[j]);
        progressAlways("], \"used\": %d}", repeated.used);
    }
    progressAlways("],\n   \"summary\": {\"lines\": %d, \"entries\": %ld, \"refused\": %ld, \"listedAgain\": %ld}",
        report.lines, static_cast<long>(entries.size()), static_cast<long>(report.refused.size()),
        static_cast<long>(report.repeated.size()));
}

// The kind of a file on a disk and what the checks found in it.
std::string diskFileJson(const DiskFileCheck& check) {
    if (!check.chained) return "\"kind\": null, \"ok\": true, \"checked\": false, \"chained\": false";
    if (!check.whole) return "\"kind\": null, \"ok\": false, \"checked\": false";
    if (!check.told) return std::string("\"kind\": null, \"ok\": ") + jsonBool(check.good) + ", \"checked\": true";
    const std::string checked = "\"ok\": " + jsonBool(check.good) + ", \"checked\": true, ";
    switch (check.kind) {
        case InspectedKind::Loader: return loaderJson(check.loader, check.good) + ", \"checked\": true";
        case InspectedKind::Rom:
            return "\"kind\": \"ROM file\", " + checked + romSummaryJson(check.blocks, check.counts);
        default: return "\"kind\": \"flash image\", " + checked + imageSummaryJson(check.counts);
    }
}

// A disk image: its header, each file with what it holds, and the damage found.
std::string diskJson(const InspectedFile& file) {
    const DiskReport& disk = std::get<DiskImageReport>(file.report).disk;
    const std::vector<DiskFileCheck>& checks = std::get<DiskImageReport>(file.report).files;
    const char* longBam = disk.longBam == LongBam::SpeedDos     ? "\"SpeedDOS\""
                          : disk.longBam == LongBam::DolphinDos ? "\"DolphinDOS\""
                                                                : "null";
    std::string text = std::string("\"kind\": \"disk image\", \"format\": ") +
                       (disk.shape.format == DiskFormat::D64 ? "\"d64\"" : "\"d81\"") +
                       ", \"tracks\": " + std::to_string(disk.shape.tracks) +
                       ", \"errorBytes\": " + jsonBool(disk.shape.errorBytes) + ", \"longBam\": " + longBam +
                       ", \"ok\": " + jsonBool(inspectedFileIsGood(file)) + ", \"name\": " + jsonString(disk.name) +
                       ", \"id\": " + jsonString(disk.id) + ", \"blocksFree\": " + std::to_string(disk.blocksFree) +
                       ",\n   \"damage\": [";
    for (std::size_t i = 0; i < disk.damage.size(); ++i) text += (i == 0 ? "" : ", ") + jsonString(disk.damage[i]);
    text += "],\n   \"lost\": {\"blocks\": " + std::to_string(disk.lost) + ", \"sectors\": [";
    for (std::size_t i = 0; i < disk.lostSectors.size(); ++i)
        text += (i == 0 ? "" : ", ") + jsonString(disk.lostSectors[i]);
    text += "]}";
    text += ",\n   \"files\": [";
    for (std::size_t i = 0; i < disk.files.size(); ++i) {
        const DiskFile& entry = disk.files[i];
        text += std::string(i == 0 ? "\n" : ",\n") + "    {\"name\": " + jsonString(entry.name) +
                ", \"type\": " + jsonString(diskFileType(entry.type)) +
                ", \"blocks\": " + std::to_string(entry.blocks) + ", " + diskFileJson(checks[i]) + "}";
    }
    return text + "]";
}

void jsonHead(ReportState&, const std::string& catalogueSource) {
    progressAlways("{\"catalogue\": %s,\n \"files\": [", jsonString(catalogueSource).c_str());
}

// Starts a file's entry of "files".
void startEntry(ReportState& state, const InspectedFile& file) {
    progressAlways("%s  {\"file\": %s, ", state.firstFile ? "\n" : ",\n", jsonString(file.path).c_str());
    state.firstFile = false;
    state.firstEntry = true;
}

void jsonUninspected(ReportState& state, const InspectedFile& file) {
    startEntry(state, file);
    progressAlways("\"error\": %s}", jsonString(inspectStatusText(file)).c_str());
}

void jsonFileStart(ReportState& state, const InspectedFile& file) {
    startEntry(state, file);
    switch (kindOf(file)) {
        case InspectedKind::Image: progressAlways("\"kind\": \"flash image\", \"banks\": ["); break;
        case InspectedKind::Rom: {
            const RomReport& rom = std::get<RomReport>(file.report);
            progressAlways("\"kind\": \"ROM file\", \"loadAddress\": %s, \"blocks\": [",
                rom.hasLoadAddress ? quotedHex(rom.loadAddress, 4).c_str() : "null");
            break;
        }
        case InspectedKind::Loader:
            progressAlways("%s}", loaderJson(std::get<LoaderReport>(file.report), inspectedFileIsGood(file)).c_str());
            break;
        case InspectedKind::Catalogue:
            printCatalogueJson(std::get<CatalogueReport>(file.report));
            progressAlways("}");
            break;
        case InspectedKind::Disk: progressAlways("%s}", diskJson(file).c_str()); break;
    }
}

// One entry a bank of an image or a block of a ROM file, blank or not.
void jsonBlock(ReportState& state, const InspectedFile& file, const BlockReport& block) {
    const std::string entry =
        kindOf(file) == InspectedKind::Image ? imageBlockJson(block) : blockFields(block, "block", "banks", true);
    progressAlways("%s    {%s}", state.firstEntry ? "\n" : ",\n", entry.c_str());
    state.firstEntry = false;
}

// Closes the blocks of an image or a ROM file with their summary, or with
// the error that cut them short.
void jsonFileEnd(ReportState&, const InspectedFile& file) {
    const BlockReading* reading = readingOf(file);
    if (reading == nullptr) return;  // a kind reported whole at its start
    std::string end = "\"error\": " + jsonString(inspectStatusText(file));
    if (file.status == InspectStatus::Read)
        end = kindOf(file) == InspectedKind::Image ? imageSummaryJson(reading->counts)
                                                   : romSummaryJson(reading->blocks, reading->counts);
    progressAlways("],\n   %s}", end.c_str());
}

void jsonEnd(ReportState&) { progressAlways("\n]}\n"); }

void jsonCompareHead(const std::string& catalogueSource, const ImageComparison& comparison) {
    progressAlways("{\"catalogue\": %s,\n \"compare\": {\"expected\": %s, \"found\": %s, ",
        jsonString(catalogueSource).c_str(), jsonString(comparison.expected.path).c_str(),
        jsonString(comparison.found.path).c_str());
}

// Returns: the "error" entry for the side of a comparison that could not be used, or "".
std::string comparisonError(const ImageComparison& comparison) {
    for (const InspectedFile* side : {&comparison.expected, &comparison.found}) {
        if (side->status != InspectStatus::Read)
            return "\"error\": " + jsonString(side->path + ": " + inspectStatusText(*side));
    }
    return "";
}

void jsonCompareStart(ReportState& state, const std::string& catalogueSource, const ImageComparison& comparison) {
    jsonCompareHead(catalogueSource, comparison);
    progressAlways("\"banks\": [");
    state.firstEntry = true;
}

void jsonCompareBank(ReportState& state, const BankComparison& bank) {
    progressAlways("%s    {%s}", state.firstEntry ? "\n" : ",\n", bankComparisonJson(bank).c_str());
    state.firstEntry = false;
}

void jsonCompareEnd(ReportState&, const ImageComparison& comparison) {
    std::string end = comparisonError(comparison);
    if (end.empty()) {
        end = "\"summary\": {\"banks\": " + std::to_string(comparison.same + comparison.differ) +
              ", \"same\": " + std::to_string(comparison.same) + ", \"differ\": " + std::to_string(comparison.differ) +
              "}";
    }
    progressAlways("],\n   %s}}\n", end.c_str());
}

void jsonCompareUnopened(ReportState&, const std::string& catalogueSource, const ImageComparison& comparison) {
    jsonCompareHead(catalogueSource, comparison);
    progressAlways("%s}}\n", comparisonError(comparison).c_str());
}

}  // namespace

const ReportFormat kJsonReport{jsonHead, jsonUninspected, jsonFileStart, jsonBlock, jsonFileEnd, jsonEnd,
    jsonCompareStart, jsonCompareBank, jsonCompareEnd, jsonCompareUnopened};

void printFailureJson(const std::string& catalogueSource, const std::string& why) {
    progressAlways(
        "{\"catalogue\": %s, \"error\": %s}\n", jsonString(catalogueSource).c_str(), jsonString(why).c_str());
}
