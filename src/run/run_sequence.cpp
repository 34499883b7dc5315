// The whole run, step by step in its fixed order.
#include "run/run_sequence.h"

#include <cstdio>

#include "base/console.h"
#include "catalogue/catalogue_file.h"
#include "image/rom_file.h"
#include "run/command_line.h"
#include "run/settings.h"

namespace {

constexpr int kLastBankFileNumber = 0x22;

// The ROM files named before the first option, in order, until one fails.
// Returns: how many were named.
int processNamedFiles(BlockRoute& route, int argc, const char* const* argv) {
    int named = 0;
    for (int i = 1; i < argc && argv[i][0] != '-'; ++i) {
        ++named;
        if (processRomFile(route, argv[i], false) != kRomFileDone) break;
    }
    return named;
}

// All-banks mode: every numbered bank file that exists, identified by its blocks.
void processBankFiles(BlockRoute& route) {
    for (int number = 0; number <= kLastBankFileNumber; ++number) {
        char name[32];
        (void)std::snprintf(name, sizeof name, "memFlashBank_%02x.bin", static_cast<unsigned>(number));
        processRomFile(route, name, true);
    }
}

}  // namespace

int runTool(int argc, const char* const* argv) {
    if (argc < 2) {
        printUsage();
        return kExitOk;
    }
    printBanner();

    RunSettings settings;
    // Loaded before the options are read, so its messages follow verbosity 1.
    if (loadFlasherProgram(settings.verbosity, settings.flasher) != kLoadOk) return kExitOk;
    if (applyOptions(settings, argc, argv) != kOptionsOk) return kExitFailure;

    Catalogue catalogue;
    if (loadCatalogueFile(settings.verbosity, catalogue) != kCatalogueOk &&
        writeDefaultCatalogue(settings.verbosity, catalogue) != kCatalogueOk) {
        reportError("** error - no CRC file ...\n");
        return kExitFailure;
    }
    // When it cannot be made, the image stays off and the run goes on.
    if (settings.writeFlashImage) openFlashImage(settings.verbosity, settings.flashImage);

    BlockRoute route{settings.verbosity, settings.forcedBank, settings.writeBlockFiles,
                     catalogue,          settings.flasher,    settings.flashImage};
    if (processNamedFiles(route, argc, argv) == 0) processBankFiles(route);

    closeFlashImage(settings.flashImage);
    return kExitOk;
}
