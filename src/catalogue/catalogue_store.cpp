// The catalogue in memory, the "crc.ini" file, and the built-in default catalogue.
#include "catalogue/catalogue_store.h"

#include <cstring>

#include "catalogue/catalogue_line.h"
#include "catalogue/default_catalogue.h"
#include "run/console.h"

namespace {

constexpr int kLineBufferSize = 160;          // a line read holds at most 159 characters
constexpr std::size_t kMaxDefaultLines = 500;

}  // namespace

Catalogue::~Catalogue() { clearCatalogue(*this); }

void clearCatalogue(Catalogue& catalogue) {
    // Iterative, so that a catalogue of any length is released without deep recursion.
    while (catalogue.head != nullptr) {
        CatalogueEntry* entry = catalogue.head;
        catalogue.head = entry->next;
        delete entry;
    }
}

int addEntry(Catalogue& catalogue, std::unique_ptr<CatalogueEntry> entry) {
    entry->next = catalogue.head;
    catalogue.head = entry.release();
    return 0;
}

const CatalogueEntry* findByCrc(const Catalogue& catalogue, uint16_t crc) {
    for (const CatalogueEntry* entry = catalogue.head; entry != nullptr; entry = entry->next) {
        if (entry->crc == crc) return entry;
    }
    return nullptr;
}

int nextBank(const CatalogueEntry* entry, int after) {
    if (entry == nullptr) return kNoBank;
    const int start = after + 1;
    if (start < 0 || start >= kBankCount) return kNoBank;
    for (int bank = start; bank < kBankCount; ++bank) {
        if (entry->banks[bank] != 0) return bank;
    }
    return kNoBank;
}

int firstBank(const CatalogueEntry* entry) { return nextBank(entry, -1); }

int loadCatalogueFile(const RunSettings& settings, Catalogue& catalogue) {
    progress(settings, 1, "====== reading CRC file ======\n");
    FilePtr file = openReadableFile(kCatalogueFileName);
    if (!file) {
        progress(settings, 1, "missing CRC file ...\n");
        return kCatalogueMissing;
    }
    clearCatalogue(catalogue);
    int line = 0;
    int entries = 0;
    char text[kLineBufferSize];
    while (std::fgets(text, kLineBufferSize, file.get()) != nullptr) {
        ++line;
        std::unique_ptr<CatalogueEntry> entry;
        const int status = parseCatalogueLine(settings, text, entry);
        if (status < 0) {
            progress(settings, 1, "error in line %d: rc=%d\n", line, status);
        } else if (status == kLineIsEntry) {
            addEntry(catalogue, std::move(entry));
            ++entries;
        }
    }
    progress(settings, 1, "count of valid CRC entries: %d\n", entries);
    progress(settings, 1, "count of lines in file: %d\n", line);
    return kCatalogueOk;
}

namespace {

// Parses line `index` of the built-in table, reporting it as line index + 1 when faulty.
// Returns: the line's status.
int parseDefaultLine(const RunSettings& settings, std::size_t index, std::unique_ptr<CatalogueEntry>& entry) {
    char text[kLineBufferSize];
    std::strncpy(text, kDefaultCatalogue[index], kLineBufferSize - 1);
    text[kLineBufferSize - 1] = '\0';
    const int status = parseCatalogueLine(settings, text, entry);
    if (status < 0) progress(settings, 1, "error in line %d: rc=%d\n", static_cast<int>(index + 1), status);
    return status;
}

}  // namespace

int loadDefaultCatalogue(const RunSettings& settings, Catalogue& catalogue) {
    clearCatalogue(catalogue);
    for (std::size_t i = 0; i < kDefaultCatalogue.size() && i < kMaxDefaultLines; ++i) {
        std::unique_ptr<CatalogueEntry> entry;
        if (parseDefaultLine(settings, i, entry) == kLineIsEntry) addEntry(catalogue, std::move(entry));
    }
    return kCatalogueOk;
}

int writeDefaultCatalogue(const RunSettings& settings, Catalogue& catalogue) {
    progress(settings, 1, "====== creating default CRC file ======\n");
    FilePtr file(std::fopen(kCatalogueFileName, "wb"));
    if (!file) {
        reportError("** error creating file: '%s'", kCatalogueFileName);
        return kCatalogueNotCreated;
    }
    clearCatalogue(catalogue);
    bool writeFailed = false;
    for (std::size_t i = 0; i < kDefaultCatalogue.size() && i < kMaxDefaultLines; ++i) {
        std::unique_ptr<CatalogueEntry> entry;
        const int status = parseDefaultLine(settings, i, entry);
        if (status < 0) continue;
        if (std::fputs(kDefaultCatalogue[i], file.get()) == EOF || std::fputc('\n', file.get()) == EOF) {
            writeFailed = true;
        }
        if (status == kLineIsEntry) addEntry(catalogue, std::move(entry));
    }
    // The entries are in memory either way; a crc.ini cut short (a full disk)
    // must not pass unnoticed, or the next run would read it as it is.
    if (std::fclose(file.release()) != 0 || writeFailed) {
        reportError("** error writing file: %s\n", kCatalogueFileName);
    }
    return kCatalogueOk;
}
