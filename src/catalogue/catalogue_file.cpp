// The catalogue file "crc.ini" and the built-in default catalogue.
#include "catalogue/catalogue_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/console.h"
#include "base/files.h"
#include "catalogue/catalogue_line.h"
#include "catalogue/default_catalogue.h"

namespace {

constexpr int kLineBufferSize = 160;  // a line read holds at most 159 characters
constexpr std::size_t kMaxDefaultLines = 500;

// Parses line `index` of the built-in table, reporting it as line index + 1 when faulty.
// Returns: the line's status.
int parseDefaultLine(int32_t verbosity, std::size_t index, CatalogueEntry& entry) {
    char text[kLineBufferSize];
    std::strncpy(text, kDefaultCatalogue[index], kLineBufferSize - 1);
    text[kLineBufferSize - 1] = '\0';
    const int status = parseCatalogueLine(verbosity, text, entry);
    if (status < 0) progress(verbosity, 1, "error in line %d: rc=%d\n", static_cast<int>(index + 1), status);
    return status;
}

std::size_t defaultLineCount() { return std::min(kDefaultCatalogue.size(), kMaxDefaultLines); }

}  // namespace

int loadCatalogueFile(int32_t verbosity, Catalogue& catalogue) {
    progress(verbosity, 1, "====== reading CRC file ======\n");
    if (fileKind(kCatalogueFileName) == FileKind::Missing) {
        progress(verbosity, 1, "missing CRC file ...\n");
        return kCatalogueMissing;
    }
    FilePtr file = openInputFile(kCatalogueFileName);
    if (!file) return kCatalogueUnreadable;
    clearCatalogue(catalogue);
    int line = 0;
    int entries = 0;
    char text[kLineBufferSize];
    while (std::fgets(text, kLineBufferSize, file.get()) != nullptr) {
        ++line;
        CatalogueEntry entry;
        const int status = parseCatalogueLine(verbosity, text, entry);
        if (status < 0) {
            progress(verbosity, 1, "error in line %d: rc=%d\n", line, status);
        } else if (status == kLineIsEntry) {
            addEntry(catalogue, std::move(entry));
            ++entries;
        }
    }
    progress(verbosity, 1, "count of valid CRC entries: %d\n", entries);
    progress(verbosity, 1, "count of lines in file: %d\n", line);
    return kCatalogueOk;
}

void loadDefaultCatalogue(Catalogue& catalogue) {
    clearCatalogue(catalogue);
    for (std::size_t i = 0; i < defaultLineCount(); ++i) {
        CatalogueEntry entry;
        if (parseDefaultLine(0, i, entry) == kLineIsEntry) addEntry(catalogue, std::move(entry));
    }
}

int writeDefaultCatalogue(int32_t verbosity, Catalogue& catalogue) {
    progress(verbosity, 1, "====== creating default CRC file ======\n");
    ReplacedFile file;
    if (!beginReplace(kCatalogueFileName, SparedFiles{}, file)) {
        reportError("** error creating file: '%s'", kCatalogueFileName);
        return kCatalogueNotCreated;
    }
    clearCatalogue(catalogue);
    for (std::size_t i = 0; i < defaultLineCount(); ++i) {
        CatalogueEntry entry;
        const int status = parseDefaultLine(verbosity, i, entry);
        if (status < 0) continue;
        (void)std::fputs(kDefaultCatalogue[i], file.stream.get());
        (void)std::fputc('\n', file.stream.get());
        if (status == kLineIsEntry) addEntry(catalogue, std::move(entry));
    }
    // The entries are in memory either way; a crc.ini cut short (a full disk)
    // is never left behind, or the next run would read it as it is; and one
    // that appeared meanwhile (the user's, or another run's) is kept.
    if (!commitWithoutReplacing(file)) {
        reportError("** error writing file: %s\n", kCatalogueFileName);
        return kCatalogueNotSaved;
    }
    return kCatalogueOk;
}
