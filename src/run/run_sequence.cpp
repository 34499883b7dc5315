// The whole run, step by step in its fixed order.
#include "run/run_sequence.h"

#include <cstdio>

#include "catalogue/catalogue_store.h"
#include "image/rom_file.h"
#include "output/bank_loader.h"
#include "output/flash_image.h"
#include "run/command_line.h"
#include "run/console.h"
#include "run/settings.h"

namespace {

constexpr int kLastBankFileNumber = 0x22;

}  // namespace

int runTool(int argc, const char* const* argv) {
    if (argc < 2) {
        printUsage();
        return kExitOk;
    }
    printBanner();

    RunSettings settings;
    // Loaded before the options are read, so its messages follow verbosity 1.
    if (loadFlasherProgram(settings) != kLoadOk) return kExitOk;
    if (applyOptions(settings, argc, argv) != kOptionsOk) return kExitFailure;

    Catalogue catalogue;
    if (loadCatalogueFile(settings, catalogue) != kCatalogueOk &&
        writeDefaultCatalogue(settings, catalogue) != kCatalogueOk) {
        reportError("** error - no CRC file ...\n");
        return kExitFailure;
    }
    openFlashImage(settings);  // on failure it switches the image off; the run goes on

    // The ROM files named before the first option, until one fails.
    int romFiles = 0;
    for (int i = 1; i < argc && argv[i][0] != '-'; ++i) {
        ++romFiles;
        if (processRomFile(settings, catalogue, argv[i], false) != kRomFileDone) break;
    }
    if (romFiles == 0) {
        // All-banks mode: every numbered bank file that exists, identified by its blocks.
        for (int number = 0; number <= kLastBankFileNumber; ++number) {
            char name[32];
            (void)std::snprintf(name, sizeof name, "memFlashBank_%02x.bin", static_cast<unsigned>(number));
            processRomFile(settings, catalogue, name, true);
        }
    }

    settings.flashImageStream.reset();
    return kExitOk;
}
