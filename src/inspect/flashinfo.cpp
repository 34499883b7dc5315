// quillmore-flashinfo: reports what the files of quillmore-flashtool hold.
#include "inspect/flashinfo.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/system.h"
#include "catalogue/catalogue_file.h"
#include "inspect/report_printing.h"

namespace {

const char* const kHelp =
    "Usage: quillmore-flashinfo [--json] FILE...\n"
    "\n"
    "Shows what a file of quillmore-flashtool holds, checked against the\n"
    "catalogue: crc.ini in the current directory if there is one, else the\n"
    "built-in default catalogue. It never writes a file. A file's kind is told\n"
    "from its size and content, not its name:\n"
    "\n"
    "  flash image        exactly 524288 bytes: each bank 00..3f is blank, a\n"
    "                     catalogued ROM, or unknown; a ROM in a bank its\n"
    "                     catalogue entry does not name is misplaced\n"
    "  ROM file           whole 8 KB blocks, optionally after a 2-byte load\n"
    "                     address: each block's CRC-16, and whether it is blank,\n"
    "                     unknown, or which catalogued ROM and the banks\n"
    "                     quillmore-flashtool would write it to\n"
    "  bank loader file   loader records (&flashbankXX.prg): every record,\n"
    "                     checksum and address is checked; the flasher and the\n"
    "                     block are reported, with the bank byte checked against\n"
    "                     the banks the catalogue names for the block\n"
    "\n"
    "  --json      one JSON document for scripts instead of tables\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit status: 0 all good, 1 something found wrong (damage, unknown or\n"
    "misplaced content), 2 bad usage or a file that cannot be read or told.\n";

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
            } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
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
    if (!keepStandardStreamsOpen()) return kInfoFailed;
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
        const bool read = inspectFile(catalogue, file) == kInspectRead;
        status = std::max(status, !read ? kInfoFailed : inspectedFileIsGood(file) ? kInfoAllGood : kInfoFoundWrong);
    }
    if (json) {
        printReportJson(catalogueSource, files);
    } else {
        printReportTables(catalogueSource, files);
    }
    return status;
}
