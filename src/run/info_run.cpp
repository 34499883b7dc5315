// quillmore-flashinfo: reports what the files of quillmore-flashtool hold.
#include "run/info_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/system.h"
#include "catalogue/catalogue_file.h"
#include "inspect/report_reader.h"
#include "run/options.h"

namespace {

enum InfoOption { kJson, kCompare, kCatalogue };

const ProgramUsage kUsage{"quillmore-flashinfo",
    {"[--json] [--catalogue] FILE...", "[--json] --compare EXPECTED FOUND"},
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
    "  catalogue          lines of text \"CRC; BANKS; NAME\" (crc.ini): every\n"
    "                     entry as quillmore-flashtool reads it, every line it\n"
    "                     refuses, and the CRC-16s listed more than once, with\n"
    "                     the line it uses for each\n"
    "  disk image         a .d64 (35 or 40 tracks) or .d81, with or without its\n"
    "                     error bytes: its name, ID and blocks free, and each of\n"
    "                     its files checked as above; a chain that loops or\n"
    "                     leaves the disk, a sector two files use or marked bad,\n"
    "                     a BAM that does not match, a directory that loops or\n"
    "                     an image cut short is damage; blocks marked used that\n"
    "                     no file holds are counted as lost\n"
    "\n"
    "  --catalogue FILE   read FILE as a catalogue, whatever its size and content\n"
    "  --compare   compare two flash images bank by bank (a read-back with the\n"
    "              image burned, or two versions of flash.bin): what each\n"
    "              holds where they differ, how many bytes differ, where, and\n"
    "              the bank loader file that programs each again\n"
    "  --json      one JSON document for scripts instead of tables\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit status: 0 all good (with --compare: the same), 1 something found\n"
    "wrong (damage, unknown or misplaced content, a ROM file without a whole\n"
    "block, a catalogue line refused or a CRC-16 listed again; with --compare:\n"
    "a bank that differs), 2 bad usage or a file that cannot be read or told.\n",
    {{kJson, "--json", nullptr}, {kCompare, "--compare", nullptr}, {kCatalogue, "--catalogue", "FILE"}}, true};

struct InfoRequest {
    bool json = false;
    bool compare = false;
    std::vector<std::string> paths;
    std::vector<bool> asCatalogue;  // for each path: given with --catalogue
};

// Reads the options and the files to inspect.
// Returns: true when there are files to inspect; false with ended set when
// the run ends here (help, version, bad usage).
bool readArguments(int argc, const char* const* argv, InfoRequest& request, InfoStatus& ended) {
    const ScanStatus scanned = scanArguments(
        argc, argv, kUsage,
        [&](int id, const char* value) {
            if (id == kJson) request.json = true;
            if (id == kCompare) request.compare = true;
            if (id == kCatalogue) {
                request.paths.emplace_back(value);
                request.asCatalogue.push_back(true);
            }
        },
        [&](const char* path) {
            request.paths.emplace_back(path);
            request.asCatalogue.push_back(false);
        });
    ended = scanned == ScanStatus::Answered ? InfoStatus::AllGood : InfoStatus::Failed;
    if (scanned != ScanStatus::Scanned) return false;
    if (request.compare && request.paths.size() != 2) {
        printShortUsage(kUsage, 1);
        return false;
    }
    if (request.paths.empty()) {
        printShortUsage(kUsage, 0);
        return false;
    }
    return true;
}

// Reads "crc.ini", or takes the built-in table when there is none.
// Returns: false, after its message (and with --json a document saying it),
// when "crc.ini" is there but cannot be read.
bool loadInfoCatalogue(const InfoRequest& request, Catalogue& catalogue, std::string& source) {
    source = kCatalogueFileName;
    const CatalogueStatus status = loadCatalogueFile(0, catalogue);
    if (status == CatalogueStatus::Unreadable) {
        const std::string why = std::string(kCatalogueFileName) + ": not a regular file, or not readable";
        reportError("quillmore-flashinfo: %s\n", why.c_str());
        if (request.json) printFailureJson(source, why);
        return false;
    }
    if (status == CatalogueStatus::Missing) {
        loadDefaultCatalogue(catalogue);
        source = "built-in default";
    }
    return true;
}

InfoStatus inspectFiles(const Catalogue& catalogue, const std::string& source, const InfoRequest& request) {
    const ReportFormat& format = request.json ? kJsonReport : kTableReport;
    ReportState state(catalogue);
    format.head(state, source);
    InfoStatus status = InfoStatus::AllGood;
    for (std::size_t i = 0; i < request.paths.size(); ++i) {
        InspectedFile file;
        file.path = request.paths[i];
        file.asCatalogue = request.asCatalogue[i];
        status = std::max(status, reportFile(format, state, file));
    }
    format.end(state);
    return status;
}

InfoStatus compareImages(const Catalogue& catalogue, const std::string& source, const InfoRequest& request) {
    ImageComparison comparison;
    comparison.expected.path = request.paths[0];
    comparison.found.path = request.paths[1];
    ReportState state(catalogue);
    return reportComparison(request.json ? kJsonReport : kTableReport, state, source, comparison);
}

InfoStatus runRequest(int argc, const char* const* argv) {
    InfoRequest request;
    InfoStatus ended = InfoStatus::Failed;
    if (!readArguments(argc, argv, request, ended)) return ended;
    Catalogue catalogue;
    std::string source;
    if (!loadInfoCatalogue(request, catalogue, source)) return InfoStatus::Failed;
    return request.compare ? compareImages(catalogue, source, request) : inspectFiles(catalogue, source, request);
}

InfoStatus runInspector(int argc, const char* const* argv) {
    const StandardStreams streams = keepStandardStreamsOpen();
    if (streams == StandardStreams::CannotOpen) return InfoStatus::Failed;
    InfoStatus status = InfoStatus::Failed;
    // Memory does not grow with the files read; should it still run out
    // (a huge crc.ini), the run ends with a word, not an abort.
    try {
        status = runRequest(argc, argv);
    } catch (const std::bad_alloc&) {
        (void)finishProgress();
        reportError("quillmore-flashinfo: out of memory\n");
    }
    // The report is what the inspector is run for: one that did not reach
    // its reader is a failure, however the files looked.
    const int lost = streams == StandardStreams::StdoutWasClosed ? EBADF : finishProgress();
    if (lost != 0) {
        reportError("quillmore-flashinfo: cannot write the report: %s\n", std::strerror(lost));
        return InfoStatus::Failed;
    }
    return status;
}

}  // namespace

int runFlashInfo(int argc, const char* const* argv) { return static_cast<int>(runInspector(argc, argv)); }
