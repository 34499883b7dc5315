// Checking a catalogue file as the tool reads crc.ini.
#include "inspect/catalogue_check.h"

#include <algorithm>
#include <map>
#include <utility>

#include "catalogue/catalogue_file.h"

bool looksLikeText(const uint8_t* bytes, std::size_t size) { return std::find(bytes, bytes + size, 0) == bytes + size; }

bool readCatalogueReport(std::FILE* file, CatalogueReport& report) {
    std::rewind(file);
    const bool read = readCatalogueLines(file, 0, [&](int line, LineStatus status, CatalogueEntry& entry) {
        report.lines = line;
        if (status == LineStatus::Entry) {
            addEntry(report.catalogue, std::move(entry));
            report.entryLines.push_back(line);
        } else if (isFaulty(status)) {
            report.refused.push_back({line, status});
        }
    });
    std::map<uint16_t, std::size_t> repeatedAt;  // crc -> its place in report.repeated
    std::map<uint16_t, int> firstLine;
    const std::vector<CatalogueEntry>& entries = report.catalogue.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const uint16_t crc = entries[i].crc;
        const auto first = firstLine.emplace(crc, report.entryLines[i]);
        if (first.second) continue;
        auto at = repeatedAt.find(crc);
        if (at == repeatedAt.end()) {
            at = repeatedAt.emplace(crc, report.repeated.size()).first;
            report.repeated.push_back({crc, {first.first->second}, 0});
        }
        report.repeated[at->second].lines.push_back(report.entryLines[i]);
    }
    // Which line wins is the lookup's to say, as it is in a run of the tool.
    for (RepeatedCrc& repeated : report.repeated) {
        repeated.used =
            report.entryLines[static_cast<std::size_t>(findByCrc(report.catalogue, repeated.crc) - &entries[0])];
    }
    std::sort(report.repeated.begin(), report.repeated.end(),
        [](const RepeatedCrc& a, const RepeatedCrc& b) { return a.lines.front() < b.lines.front(); });
    return read;
}

const char* refusalText(LineStatus status) {
    switch (status) {
        case LineStatus::MissingSeparator: return "not two ';' between CRC-16, banks and name";
        case LineStatus::BadCrc: return "the CRC-16 is not a hexadecimal number";
        case LineStatus::BadBanks:
            return "the banks are not hexadecimal numbers 00 to 3f, separated by commas or blanks";
        default: return "";
    }
}
