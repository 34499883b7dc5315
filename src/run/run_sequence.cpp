// The whole run, step by step in its fixed order.
#include "run/run_sequence.h"

#include <cstdio>

#include "base/console.h"
#include "base/system.h"
#include "catalogue/catalogue_file.h"
#include "image/rom_file.h"
#include "run/command_line.h"
#include "run/settings.h"

namespace {

constexpr int kLastBankFileNumber = 0x22;

// The ROM files named on the command line: the arguments before the first option.
SparedFiles namedRomFiles(int argc, const char* const* argv) {
    SparedFiles named;
    for (int i = 1; i < argc && argv[i][0] != '-'; ++i) named.emplace_back(argv[i]);
    return named;
}

// Reads "crc.ini", or writes it from the built-in table when there is none.
// Returns: kCatalogueOk or kCatalogueNotSaved with a catalogue loaded; any
// other status after its message.
int loadCatalogue(int32_t verbosity, Catalogue& catalogue) {
    const int status = loadCatalogueFile(verbosity, catalogue);
    if (status == kCatalogueMissing) return writeDefaultCatalogue(verbosity, catalogue);
    if (status == kCatalogueUnreadable) reportError("** error reading file: %s", kCatalogueFileName);
    return status;
}

// The named ROM files in order, until one fails; or, when none is named (the
// all-banks mode), every numbered bank file that exists, identified by its blocks.
void processRomFiles(BlockRoute& route, const char* const* argv) {
    const std::size_t named = route.spared.size();  // the files spared are those named
    if (named > 0) {
        for (std::size_t i = 1; i <= named; ++i) {
            if (processRomFile(route, argv[i], false) != kRomFileDone) break;
        }
        return;
    }
    for (int number = 0; number <= kLastBankFileNumber; ++number) {
        char name[32];
        (void)std::snprintf(name, sizeof name, "memFlashBank_%02x.bin", static_cast<unsigned>(number));
        processRomFile(route, name, true);
    }
}

}  // namespace

int runTool(int argc, const char* const* argv) {
    // Console text must never reach a file that took a closed stream's number.
    if (!keepStandardStreamsOpen()) return kExitFailure;
    if (argc < 2) {
        printUsage();
        return kExitOk;
    }
    if (answerHelpRequest(argc, argv)) return kExitOk;  // a request for help writes nothing
    printBanner();

    RunSettings settings;
    // Loaded before the options are read, so its messages follow verbosity 1.
    if (loadFlasherProgram(settings.verbosity, settings.flasher) != kLoadOk) return kExitOk;
    if (applyOptions(settings, argc, argv) != kOptionsOk) return kExitFailure;

    Catalogue catalogue;
    const int catalogueStatus = loadCatalogue(settings.verbosity, catalogue);
    if (catalogueStatus != kCatalogueOk && catalogueStatus != kCatalogueNotSaved) {
        reportError("** error - no CRC file ...\n");
        return kExitFailure;
    }
    const SparedFiles spared = namedRomFiles(argc, argv);
    // When it cannot be had, the image stays off and the run goes on.
    const int imageStatus =
        settings.writeFlashImage ? openFlashImage(settings.verbosity, spared, settings.flashImage) : kFlashImageOk;

    BlockRoute route{settings.verbosity, settings.forcedBank, settings.writeBlockFiles, catalogue,
                     settings.flasher,   settings.flashImage, spared};
    processRomFiles(route, argv);

    const int closeStatus = closeFlashImage(settings.flashImage);
    const bool outputFailed = catalogueStatus == kCatalogueNotSaved || imageStatus != kFlashImageOk ||
                              route.outputFailed || closeStatus != kFlashImageOk;
    return outputFailed ? kExitFailure : kExitOk;
}
