// The whole run, step by step in its fixed order.
#include "run/run_sequence.h"

#include "catalogue/catalogue_store.h"
#include "output/bank_loader.h"
#include "output/flash_image.h"
#include "run/command_line.h"
#include "run/console.h"
#include "run/settings.h"

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

    settings.flashImageStream.reset();
    return kExitOk;
}
