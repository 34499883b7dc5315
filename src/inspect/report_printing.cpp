// Prints what the checks found.
#include "inspect/report_printing.h"

#include <algorithm>
#include <cstdio>

#include "base/console.h"
#include "inspect/display_text.h"

namespace {

std::string hex(unsigned value, int digits) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

std::string bankList(const CatalogueEntry* entry) {
    std::string list;
    for (int bank = firstBank(entry); bank != kNoBank; bank = nextBank(entry, bank)) {
        list += (list.empty() ? "" : " ") + hex(static_cast<unsigned>(bank), 2);
    }
    return list;
}

std::string romName(const CatalogueEntry* entry) { return entry != nullptr ? tableText(entry->name) : "unknown"; }

// Rows of cells printed with every column as wide as its widest cell.
void printAligned(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], displayWidth(row[i]));
    }
    for (const auto& row : rows) {
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
    const ImageReport& image = file.image;
    progressAlways("%s: flash image\n", tableText(file.path).c_str());
    std::vector<std::vector<std::string>> rows{{"bank", "content", "crc-16", "note"}};
    for (const BankReport& bank : image.banks) {
        std::vector<std::string> row{hex(static_cast<unsigned>(bank.bank), 2)};
        if (bank.content == BankContent::Blank) {
            row.push_back("blank");
        } else {
            row.push_back(romName(bank.entry));
            row.push_back(hex(bank.crc, 4));
            if (bank.misplaced) row.push_back("misplaced: the catalogue names " + bankList(bank.entry));
        }
        rows.push_back(row);
    }
    printAligned(rows);
    progressAlways("banks used: %d, blank: %d, unknown: %d, misplaced: %d\n", image.used, image.blank, image.unknown,
                   image.misplaced);
}

std::string loaderVerdict(const LoaderReport& report) {
    if (report.damaged) return "damaged";
    if (!report.hasFlasher) return "no flasher records";
    if (report.entry == nullptr) return "unknown block";
    if (!report.bankNamed) return "bank not named for this ROM (" + bankList(report.entry) + ")";
    return "ok";
}

void printLoaderTable(const std::vector<const InspectedFile*>& files) {
    std::vector<std::vector<std::string>> rows{
        {"file", "flasher", "size", "bank", "block", "size", "crc-16", "rom", "check"}};
    for (const InspectedFile* file : files) {
        const LoaderReport& report = file->loader;
        if (report.damaged) {
            std::vector<std::string> row(8, "-");
            row[0] = tableText(file->path);
            row.push_back("damaged at offset " + std::to_string(report.damageOffset) + " (0x" +
                          hex(static_cast<unsigned>(report.damageOffset), 4) + "): " + report.damage);
            rows.push_back(row);
            continue;
        }
        const bool flasher = report.hasFlasher;
        rows.push_back({tableText(file->path), flasher ? hex(report.flasherAddress, 4) : "-",
                        flasher ? std::to_string(report.flasherSize) : "-",
                        flasher ? hex(report.bankByte, 2) : "-", hex(report.blockStart, 4),
                        std::to_string(report.blockSize), hex(report.crc, 4), romName(report.entry),
                        loaderVerdict(report)});
    }
    printAligned(rows);
}

std::string jsonBanks(const CatalogueEntry* entry) {
    std::string list = "[";
    for (int bank = firstBank(entry); bank != kNoBank; bank = nextBank(entry, bank)) {
        list += (list.size() > 1 ? ", " : "") + std::to_string(bank);
    }
    return list + "]";
}

std::string jsonRom(const CatalogueEntry* entry) {
    if (entry == nullptr) return "\"name\": null, \"catalogueBanks\": []";
    return "\"name\": " + jsonString(entry->name) + ", \"catalogueBanks\": " + jsonBanks(entry);
}

std::string imageJson(const ImageReport& image) {
    std::string text = "\"kind\": \"flash image\", \"banks\": [";
    for (const BankReport& bank : image.banks) {
        text += bank.bank == 0 ? "\n    " : ",\n    ";
        text += "{\"bank\": " + std::to_string(bank.bank);
        if (bank.content == BankContent::Blank) {
            text += ", \"content\": \"blank\"}";
            continue;
        }
        text += std::string(", \"content\": ") + (bank.content == BankContent::Known ? "\"known\"" : "\"unknown\"") +
                ", \"crc\": \"" + hex(bank.crc, 4) + "\", " + jsonRom(bank.entry) +
                ", \"misplaced\": " + (bank.misplaced ? "true" : "false") + "}";
    }
    return text + "],\n   \"summary\": {\"used\": " + std::to_string(image.used) +
           ", \"blank\": " + std::to_string(image.blank) + ", \"unknown\": " + std::to_string(image.unknown) +
           ", \"misplaced\": " + std::to_string(image.misplaced) + "}";
}

std::string loaderJson(const LoaderReport& report) {
    std::string text = "\"kind\": \"bank loader\", \"ok\": " + std::string(loaderIsGood(report) ? "true" : "false");
    if (report.damaged) {
        return text + ", \"damage\": {\"offset\": " + std::to_string(report.damageOffset) +
               ", \"kind\": " + jsonString(report.damage) + "}";
    }
    text += ", \"damage\": null, \"flasher\": ";
    text += report.hasFlasher ? "{\"loadAddress\": \"" + hex(report.flasherAddress, 4) + "\", \"size\": " +
                                    std::to_string(report.flasherSize) + ", \"bank\": " +
                                    std::to_string(report.bankByte) + "}"
                              : "null";
    return text + ", \"block\": {\"start\": \"" + hex(report.blockStart, 4) + "\", \"size\": " +
           std::to_string(report.blockSize) + ", \"crc\": \"" + hex(report.crc, 4) + "\", " + jsonRom(report.entry) +
           ", \"bankNamed\": " + (report.bankNamed ? "true" : "false") + "}";
}

}  // namespace

std::string inspectStatusText(const InspectedFile& file) {
    switch (file.status) {
        case kInspectCannotOpen: return "cannot open file";
        case kInspectNotRegular: return "not a regular file";
        case kInspectReadError: return "error reading file";
        case kInspectWrongSize:
            return "not a flash image: " + std::to_string(file.image.size) + " bytes, a flash image has 524288";
        default: return "";
    }
}

void printReportTables(const std::string& catalogueSource, const std::vector<InspectedFile>& files) {
    progressAlways("catalogue: %s\n", catalogueSource.c_str());
    std::vector<const InspectedFile*> loaders;
    for (const InspectedFile& file : files) {
        if (file.status != kInspectRead) {
            reportError("quillmore-flashinfo: %s: %s\n", tableText(file.path).c_str(), inspectStatusText(file).c_str());
        } else if (file.isImage) {
            printImageTable(file);
        } else {
            loaders.push_back(&file);
        }
    }
    if (!loaders.empty()) printLoaderTable(loaders);
}

void printReportJson(const std::string& catalogueSource, const std::vector<InspectedFile>& files) {
    std::string text = "{\"catalogue\": " + jsonString(catalogueSource) + ",\n \"files\": [";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const InspectedFile& file = files[i];
        text += (i == 0 ? "\n  {" : ",\n  {") + std::string("\"file\": ") + jsonString(file.path) + ", ";
        if (file.status != kInspectRead) {
            text += "\"error\": " + jsonString(inspectStatusText(file)) + "}";
        } else {
            text += (file.isImage ? imageJson(file.image) : loaderJson(file.loader)) + "}";
        }
    }
    progressAlways("%s\n]}\n", text.c_str());
}
