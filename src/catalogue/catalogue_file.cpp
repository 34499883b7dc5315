// The catalogue file "crc.ini" and the built-in default catalogue.
#include "catalogue/catalogue_file.h"

#include <cstring>
#include <string>
#include <utility>

#include "base/console.h"
#include "base/files.h"
#include "catalogue/catalogue_line.h"
#include "catalogue/default_catalogue.h"

namespace {

constexpr int kLineBufferSize = 160;  // a line read holds at most 159 characters
static_assert(kDefaultCatalogue.size() <= 500, "the built-in catalogue is written in at most 500 lines");

void reportFaultyLine(int32_t verbosity, int line, LineStatus status) {
    progress(verbosity, Level::Steps, "error in line %d: rc=%d\n", line, static_cast<int>(status));
}

// Parses line `index` of the built-in table, reporting it as line index + 1 when faulty.
// Returns: the line's status.
LineStatus parseDefaultLine(int32_t verbosity, std::size_t index, CatalogueEntry& entry) {
    char text[kLineBufferSize];
    std::strncpy(text, kDefaultCatalogue[index], kLineBufferSize - 1);
    text[kLineBufferSize - 1] = '\0';
    const LineStatus status = parseCatalogueLine(verbosity, text, entry);
    if (isFaulty(status)) reportFaultyLine(verbosity, static_cast<int>(index + 1), status);
    return status;
}

// Returns: true when the file at path holds exactly bytes.
bool holdsExactly(const char* path, const std::string& bytes) {
    FilePtr file = openInputFile(path);
    if (!file) return false;
    std::string held(bytes.size() + 1, '\0');  // one more byte than expected: a longer file differs
    held.resize(std::fread(&held[0], 1, held.size(), file.get()));
    return held == bytes;
}

}  // namespace

bool readCatalogueLines(
    std::FILE* file, int32_t verbosity, const std::function<void(int line, LineStatus, CatalogueEntry&)>& take) {
    char text[kLineBufferSize];
    for (int line = 1; std::fgets(text, kLineBufferSize, file) != nullptr; ++line) {
        CatalogueEntry entry;
        const LineStatus status = parseCatalogueLine(verbosity, text, entry);
        take(line, status, entry);
    }
    return std::ferror(file) == 0;
}

CatalogueStatus loadCatalogueFile(int32_t verbosity, Catalogue& catalogue) {
    progress(verbosity, Level::Steps, "====== reading CRC file ======\n");
    if (fileKind(kCatalogueFileName) == FileKind::Missing) {
        progress(verbosity, Level::Steps, "missing CRC file ...\n");
        return CatalogueStatus::Missing;
    }
    FilePtr file = openInputFile(kCatalogueFileName);
    if (!file) return CatalogueStatus::Unreadable;
    clearCatalogue(catalogue);
    int lines = 0;
    int entries = 0;
    // A read error ends the file where it happened: what was read is kept, as with its end.
    (void)readCatalogueLines(file.get(), verbosity, [&](int line, LineStatus status, CatalogueEntry& entry) {
        lines = line;
        if (isFaulty(status)) {
            reportFaultyLine(verbosity, line, status);
        } else if (status == LineStatus::Entry) {
            addEntry(catalogue, std::move(entry));
            ++entries;
        }
    });
    progress(verbosity, Level::Steps, "count of valid CRC entries: %d\n", entries);
    progress(verbosity, Level::Steps, "count of lines in file: %d\n", lines);
    return CatalogueStatus::Ok;
}

void loadDefaultCatalogue(Catalogue& catalogue) {
    clearCatalogue(catalogue);
    for (std::size_t i = 0; i < kDefaultCatalogue.size(); ++i) {
        CatalogueEntry entry;
        if (parseDefaultLine(0, i, entry) == LineStatus::Entry) addEntry(catalogue, std::move(entry));
    }
}

CatalogueStatus writeDefaultCatalogue(int32_t verbosity, Catalogue& catalogue) {
    progress(verbosity, Level::Steps, "====== creating default CRC file ======\n");
    // It takes its name only while no file has it, so it can never replace
    // an input of the run: no file needs sparing.
    ReplacedFile file;
    if (!beginReplace(kCatalogueFileName, SparedFiles{}, file)) {
        reportError("** error creating file: '%s'", kCatalogueFileName);
        return CatalogueStatus::NotCreated;
    }
    clearCatalogue(catalogue);
    std::string text;
    for (std::size_t i = 0; i < kDefaultCatalogue.size(); ++i) {
        CatalogueEntry entry;
        const LineStatus status = parseDefaultLine(verbosity, i, entry);
        if (isFaulty(status)) continue;
        text += kDefaultCatalogue[i];
        text += '\n';
        if (status == LineStatus::Entry) addEntry(catalogue, std::move(entry));
    }
    (void)std::fwrite(text.data(), 1, text.size(), file.stream.get());
    // The entries are in memory either way. A crc.ini cut short (a full
    // disk) is never left behind, or the next run would read it as it is;
    // one that appeared meanwhile is kept, and is no failure when it is the
    // very default (another run's).
    const CommitStatus named = commitWithoutReplacing(file);
    if (named == CommitStatus::Committed ||
        (named == CommitStatus::NameTaken && holdsExactly(kCatalogueFileName, text)))
        return CatalogueStatus::Ok;
    reportError("** error writing file: %s\n", kCatalogueFileName);
    return CatalogueStatus::NotSaved;
}
