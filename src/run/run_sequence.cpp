// The whole run, step by step in its fixed order.
#include "run/run_sequence.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/files.h"
#include "base/system.h"
#include "catalogue/catalogue_file.h"
#include "rom/rom_file.h"
#include "run/command_line.h"
#include "run/settings.h"

namespace {

constexpr int kLastBankFileNumber = 0x22;

// The ROM files of a run: those named on the command line (the arguments
// before the first option), or, when none is named, the numbered bank files
// of the all-banks mode.
struct RomFiles {
    std::vector<std::string> names;
    bool allBanks = false;  // each is optional: passed over when it is not there
};

RomFiles romFilesOf(int argc, const char* const* argv) {
    RomFiles files;
    for (int i = 1; i < argc && argv[i][0] != '-'; ++i) files.names.emplace_back(argv[i]);
    if (!files.names.empty()) return files;
    files.allBanks = true;
    for (int number = 0; number <= kLastBankFileNumber; ++number) {
        char name[32];
        (void)std::snprintf(name, sizeof name, "memFlashBank_%02x.bin", static_cast<unsigned>(number));
        files.names.emplace_back(name);
    }
    return files;
}

// The files the run reads, which none of its outputs may replace or write
// into: its ROM files (of the all-banks mode, those that are there), the
// flasher program and the catalogue.
SparedFiles inputsOf(const RomFiles& roms) {
    SparedFiles spared = spareFiles({kFlasherName, kCatalogueFileName});
    for (const std::string& name : roms.names) {
        FileIdentity identity;
        if (fileIdentity(name, identity)) {
            spared.identities.push_back(identity);
        } else if (!roms.allBanks) {
            spared.missing.emplace_back(name);  // one of the all-banks mode that is not there is no input
        }
    }
    return spared;
}

// Reads "crc.ini", or writes it from the built-in table when there is none.
// Returns: Ok or NotSaved with a catalogue loaded; any
// other status after its message.
CatalogueStatus loadCatalogue(int32_t verbosity, Catalogue& catalogue) {
    const CatalogueStatus status = loadCatalogueFile(verbosity, catalogue);
    if (status == CatalogueStatus::Missing) return writeDefaultCatalogue(verbosity, catalogue);
    if (status == CatalogueStatus::Unreadable) reportError("** error reading file: %s", kCatalogueFileName);
    return status;
}

// The ROM files in order: the named ones until one fails; every bank file
// of the all-banks mode that is there, each identified by its blocks.
void processRomFiles(BlockRoute& route, const RomFiles& roms) {
    for (const std::string& name : roms.names) {
        const RomFileStatus status = processRomFile(route, name.c_str(), roms.allBanks);
        if (!roms.allBanks && status != RomFileStatus::Done) break;
    }
}

ToolExit runSteps(int argc, const char* const* argv) {
    // Console text must never reach a file that took a closed stream's number. A
    // closed stdout is no failure: what the tool prints there is progress, its outputs are files.
    if (keepStandardStreamsOpen() == StandardStreams::CannotOpen) return ToolExit::Failure;
    if (argc < 2) {
        printUsage();
        return ToolExit::Ok;
    }
    if (answerHelpRequest(argc, argv)) return ToolExit::Ok;  // a request for help writes nothing
    printBanner();

    RunSettings settings;
    // Loaded before the options are read, so its messages follow verbosity 1.
    if (loadFlasherProgram(settings.verbosity, settings.flasher) != LoadStatus::Ok) return ToolExit::Ok;
    if (applyOptions(settings, argc, argv) != OptionsStatus::Ok) return ToolExit::Failure;

    Catalogue catalogue;
    const CatalogueStatus catalogueStatus = loadCatalogue(settings.verbosity, catalogue);
    if (catalogueStatus != CatalogueStatus::Ok && catalogueStatus != CatalogueStatus::NotSaved) {
        reportError("** error - no CRC file ...\n");
        return ToolExit::Failure;
    }
    const RomFiles roms = romFilesOf(argc, argv);
    SparedFiles inputs = inputsOf(roms);  // crc.ini among them, read or just written
    // When it cannot be had, the image stays off and the run goes on.
    const ImageStatus imageStatus =
        settings.writeFlashImage ? openFlashImage(settings.verbosity, inputs, settings.flashImage) : ImageStatus::Ok;

    BlockRoute route{settings.verbosity, settings.forcedBank, settings.writeBlockFiles, catalogue, settings.flasher,
        settings.flashImage, inputs};
    processRomFiles(route, roms);

    const ImageStatus closeStatus = closeFlashImage(settings.flashImage);
    const bool outputFailed = catalogueStatus == CatalogueStatus::NotSaved || imageStatus != ImageStatus::Ok ||
                              route.outputFailed || closeStatus != ImageStatus::Ok;
    return outputFailed ? ToolExit::Failure : ToolExit::Ok;
}

}  // namespace

int runTool(int argc, const char* const* argv) { return static_cast<int>(runSteps(argc, argv)); }
