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

std::string imageJson(const ImageReport& image) {
    std::string text = "\"kind\": \"flash image\", \"banks\": [";
    for (const BlockReport& bank : image.banks) {
        text += (bank.index == 0 ? "\n    {" : ",\n    {") + blockFields(bank, "bank", "catalogueBanks", false);
        text += bank.content == BlockContent::Blank ? "}" : ", \"misplaced\": " + jsonBool(bank.misplaced) + "}";
    }
    const BlockCounts& counts = image.counts;
    return text + "],\n   \"summary\": {\"used\": " + std::to_string(counts.used) + ", \"blank\": " +
           std::to_string(counts.blank) + ", \"unknown\": " + std::to_string(counts.unknown) +
           ", \"misplaced\": " + std::to_string(counts.misplaced) + "}";
}

std::string romJson(const RomReport& rom) {
    std::string text = "\"kind\": \"ROM file\", \"loadAddress\": ";
    text += rom.hasLoadAddress ? quotedHex(rom.loadAddress, 4) : "null";
    text += ", \"blocks\": [";
    for (const BlockReport& block : rom.blocks) {
        text += (block.index == 0 ? "\n    {" : ",\n    {") + blockFields(block, "block", "banks", true) + "}";
    }
    const BlockCounts& counts = rom.counts;
    return text + "],\n   \"summary\": {\"blocks\": " + std::to_string(rom.blocks.size()) +
           ", \"known\": " + std::to_string(counts.used - counts.unknown) + ", \"blank\": " +
           std::to_string(counts.blank) + ", \"unknown\": " + std::to_string(counts.unknown) + "}";
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

std::string fileJson(const InspectedFile& file) {
    if (file.status != kInspectRead) return "\"error\": " + jsonString(inspectStatusText(file));
    switch (file.kind) {
        case InspectedKind::Image: return imageJson(file.image);
        case InspectedKind::Rom: return romJson(file.rom);
        default: return loaderJson(file);
    }
}

}  // namespace

void printReportJson(const std::string& catalogueSource, const std::vector<InspectedFile>& files) {
    std::string text = "{\"catalogue\": " + jsonString(catalogueSource) + ",\n \"files\": [";
    for (std::size_t i = 0; i < files.size(); ++i) {
        text += (i == 0 ? "\n  {\"file\": " : ",\n  {\"file\": ") + jsonString(files[i].path) + ", " + fileJson(files[i]) + "}";
    }
    progressAlways("%s\n]}\n", text.c_str());
}
