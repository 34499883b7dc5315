// quillmore-flashinfo: reports what flash images and bank loader files hold.
#include "inspect/flashinfo.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/console.h"
#include "catalogue/catalogue_file.h"
#include "inspect/report_printing.h"

namespace {

const char* const kHelp =
    "Usage: quillmore-flashinfo [--json] FILE...\n"
    "\n"
    "Shows what a flash image or bank loader files hold, checked against the\n"
    "catalogue: crc.ini in the current directory if there is one, else the\n"
    "built-in default catalogue (crc.ini is never written).\n"
    "\n"
    "  FILE ending in .bin   a flash image of exactly 524288 bytes: each bank 00..3f\n"
    "                        is blank, a catalogued ROM, or unknown, and a ROM in a\n"
    "                        bank its catalogue entry does not name is misplaced\n"
    "  any other FILE        a bank loader file (&flashbankXX.prg): every record,\n"
    "                        checksum and address is checked; the flasher and the\n"
    "                        block are reported, with the bank byte checked against\n"
    "                        the banks the catalogue names for the block\n"
    "\n"
    "  --json      one JSON document for scripts instead of tables\n"
    "  --help      this text\n"
    "  --version   the version\n"
    "\n"
    "Exit status: 0 all good, 1 something found wrong (damage, unknown or\n"
    "misplaced content), 2 bad usage or a file that cannot be read.\n";

bool endsWithBin(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return tail == ".bin";
}

int exitStatusFor(const InspectedFile& file) {
    if (file.status != kInspectRead) return kInfoFailed;
    if (file.isImage) return file.image.unknown + file.image.misplaced > 0 ? kInfoFoundWrong : kInfoAllGood;
    return loaderIsGood(file.loader) ? kInfoAllGood : kInfoFoundWrong;
}

constexpr int kArgumentsRead = -1;  // not an exit status: the files are to be inspected

// Reads the options and the files to inspect.
// Returns: kArgumentsRead, or the exit status when the run ends here (help, version, bad usage).
int readArguments(int argc, const char* const* argv, bool& json, std::vector<InspectedFile>& files) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "--json") == 0) {
                json = true;
            } else if (std::strcmp(arg, "--help") == 0) {
                progressAlways("%s", kHelp);
                return kInfoAllGood;
            } else if (std::strcmp(arg, "--version") == 0) {
                progressAlways("quillmore-flashinfo %s\n", FLASHTOOL_VERSION);
                return kInfoAllGood;
            } else if (std::strcmp(arg, "--") == 0) {
                optionsEnded = true;
            } else {
                reportError("quillmore-flashinfo: unknown option '%s' (see --help)\n", arg);
                return kInfoFailed;
            }
            continue;
        }
        InspectedFile file;
        file.path = arg;
        file.isImage = endsWithBin(file.path);
        files.push_back(file);
    }
    if (files.empty()) {
        reportError("Usage: quillmore-flashinfo [--json] FILE...  (see --help)\n");
        return kInfoFailed;
    }
    return kArgumentsRead;
}

}  // namespace

int runFlashInfo(int argc, const char* const* argv) {
    bool json = false;
    std::vector<InspectedFile> files;
    const int ended = readArguments(argc, argv, json, files);
    if (ended != kArgumentsRead) return ended;

    Catalogue catalogue;
    std::string catalogueSource = kCatalogueFileName;
    const int catalogueStatus = loadCatalogueFile(0, catalogue);
    if (catalogueStatus == kCatalogueUnreadable) {
        reportError("quillmore-flashinfo: %s: not a regular file, or not readable\n", kCatalogueFileName);
        return kInfoFailed;
    }
    if (catalogueStatus == kCatalogueMissing) {
        loadDefaultCatalogue(catalogue);
        catalogueSource = "built-in default";
    }

    int status = kInfoAllGood;
    for (InspectedFile& file : files) {
        file.status = file.isImage ? inspectFlashImage(file.path.c_str(), catalogue, file.image)
                                   : inspectLoaderFile(file.path.c_str(), catalogue, file.loader);
        status = std::max(status, exitStatusFor(file));
    }
    if (json) {
        printReportJson(catalogueSource, files);
    } else {
        printReportTables(catalogueSource, files);
    }
    return status;
}
