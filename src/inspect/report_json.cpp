// Prints what the checks found as one JSON document, with banks, blocks and
// CRCs in the same hexadecimal the tables show.
#include "base/console.h"
#include "inspect/display_text.h"
#include "inspect/report_printing.h"

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
    return text + (block.content == BlockContent::Known ? "\"known\"" : "\"unknown\"") + ", \"crc\": " +
           quotedHex(block.crc, 4) + ", " + jsonRom(block.entry, banksKey);
}

std::string imageBlockJson(const BlockReport& bank) {
    return blockFields(bank, "bank", "catalogueBanks", false) +
           (bank.content == BlockContent::Blank ? "" : ", \"misplaced\": " + jsonBool(bank.misplaced));
}

std::string imageSummaryJson(const InspectedFile& image) {
    const BlockCounts& counts = image.counts;
    return "\"summary\": {\"used\": " + std::to_string(counts.used) + ", \"blank\": " + std::to_string(counts.blank) +
           ", \"unknown\": " + std::to_string(counts.unknown) + ", \"misplaced\": " + std::to_string(counts.misplaced) + "}";
}

std::string romSummaryJson(const InspectedFile& rom) {
    const BlockCounts& counts = rom.counts;
    return "\"summary\": {\"blocks\": " + std::to_string(rom.blocks) + ", \"known\": " +
           std::to_string(counts.used - counts.unknown) + ", \"blank\": " + std::to_string(counts.blank) +
           ", \"unknown\": " + std::to_string(counts.unknown) + "}";
}

// Prints the entries of an image's or a ROM file's blocks as they are read,
// then the summary (or the error that cut them short) and the file's end.
template <typename Entry, typename Summary>
void printBlocksJson(const Catalogue& catalogue, InspectedFile& file, Entry entry, Summary summary) {
    BlockReport block;
    for (bool first = true; nextBlock(catalogue, file, block); first = false) {
        progressAlways("%s    {%s}", first ? "\n" : ",\n", entry(block).c_str());
    }
    const std::string end = file.status == kInspectRead ? summary(file) : "\"error\": " + jsonString(inspectStatusText(file));
    progressAlways("],\n   %s}", end.c_str());
}

std::string loaderJson(const InspectedFile& file) {
    const LoaderReport& report = file.loader;
    std::string text = "\"kind\": \"bank loader\", \"ok\": " + jsonBool(inspectedFileIsGood(file));
    if (report.damaged) {
        return text + ", \"damage\": {\"offset\": " + std::to_string(report.damageOffset) +
               ", \"kind\": " + jsonString(report.damage) + "}";
    }
    text += ", \"damage\": null, \"flasher\": ";
    text += report.hasFlasher ? "{\"loadAddress\": " + quotedHex(report.flasherAddress, 4) + ", \"size\": " +
                                    std::to_string(report.flasherSize) + ", \"bank\": " + quotedHex(report.bankByte, 2) + "}"
                              : "null";
    return text + ", \"block\": {\"start\": " + quotedHex(report.blockStart, 4) + ", \"size\": " +
           std::to_string(report.blockSize) + ", \"crc\": " + quotedHex(report.crc, 4) + ", " +
           jsonRom(report.entry, "catalogueBanks") + ", \"bankNamed\": " + jsonBool(report.bankNamed) + "}";
}

std::string sideJson(const BlockReport& block) {
    if (block.content == BlockContent::Blank) return "{\"content\": \"blank\"}";
    const std::string known = block.entry != nullptr ? "\"known\", \"crc\": " + quotedHex(block.crc, 4) + ", \"name\": " +
                                                           jsonString(block.entry->name)
                                                     : "\"unknown\", \"crc\": " + quotedHex(block.crc, 4);
    return "{\"content\": " + known + "}";
}

std::string bankComparisonJson(const BankComparison& bank) {
    const std::string head = "\"bank\": " + quotedHex(static_cast<unsigned>(bank.expected.index), 2) + ", \"same\": ";
    if (bank.differingBytes == 0) return head + "true";
    return head + "false, \"differingBytes\": " + std::to_string(bank.differingBytes) + ", \"firstDifference\": " +
           quotedHex(static_cast<unsigned>(bank.firstDifference), 6) + ", \"expected\": " + sideJson(bank.expected) +
           ", \"found\": " + sideJson(bank.found);
}

}  // namespace

void printJsonHead(const std::string& catalogueSource) {
    progressAlways("{\"catalogue\": %s,\n \"files\": [", jsonString(catalogueSource).c_str());
}

void printFileJson(const Catalogue& catalogue, InspectedFile& file, bool first) {
    progressAlways("%s  {\"file\": %s, ", first ? "\n" : ",\n", jsonString(file.path).c_str());
    if (file.status != kInspectRead) {
        progressAlways("\"error\": %s}", jsonString(inspectStatusText(file)).c_str());
        return;
    }
    switch (file.kind) {
        case InspectedKind::Image:
            progressAlways("\"kind\": \"flash image\", \"banks\": [");
            printBlocksJson(catalogue, file, imageBlockJson, imageSummaryJson);
            break;
        case InspectedKind::Rom:
            progressAlways("\"kind\": \"ROM file\", \"loadAddress\": %s, \"blocks\": [",
                           file.hasLoadAddress ? quotedHex(file.loadAddress, 4).c_str() : "null");
            printBlocksJson(catalogue, file, [](const BlockReport& block) { return blockFields(block, "block", "banks", true); },
                            romSummaryJson);
            break;
        case InspectedKind::Loader: progressAlways("%s}", loaderJson(file).c_str()); break;
    }
}

void printJsonEnd() { progressAlways("\n]}\n"); }

void printFailureJson(const std::string& catalogueSource, const std::string& why) {
    progressAlways("{\"catalogue\": %s, \"error\": %s}\n", jsonString(catalogueSource).c_str(), jsonString(why).c_str());
}

void printComparisonJson(const Catalogue& catalogue, const std::string& catalogueSource, ImageComparison& comparison) {
    progressAlways("{\"catalogue\": %s,\n \"compare\": {\"expected\": %s, \"found\": %s, ", jsonString(catalogueSource).c_str(),
                   jsonString(comparison.expected.path).c_str(), jsonString(comparison.found.path).c_str());
    const bool opened = comparison.expected.status == kInspectRead && comparison.found.status == kInspectRead;
    if (opened) {
        progressAlways("\"banks\": [");
        BankComparison bank;
        for (bool first = true; nextBankComparison(catalogue, comparison, bank); first = false) {
            progressAlways("%s    {%s}", first ? "\n" : ",\n", bankComparisonJson(bank).c_str());
        }
    }
    std::string end = "\"summary\": {\"banks\": " + std::to_string(comparison.same + comparison.differ) + ", \"same\": " +
                      std::to_string(comparison.same) + ", \"differ\": " + std::to_string(comparison.differ) + "}";
    // A side that could not be opened as an image, or was cut short while read.
    for (const InspectedFile* side : {&comparison.found, &comparison.expected}) {
        if (side->status != kInspectRead) end = "\"error\": " + jsonString(side->path + ": " + inspectStatusText(*side));
    }
    progressAlways("%s%s}}\n", opened ? "],\n   " : "", end.c_str());
}
