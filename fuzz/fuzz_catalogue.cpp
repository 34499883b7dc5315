// Fuzz target: the bytes of "crc.ini" through loadCatalogueFile, then every
// lookup the run makes on what was loaded.
#include <cstddef>
#include <cstdint>

#include "catalogue/catalogue_store.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    fuzz::silenceConsole();
    fuzz::writeFile(kCatalogueFileName, data, size);
    RunSettings settings;
    settings.verbosity = 1;
    Catalogue catalogue;
    if (loadCatalogueFile(settings, catalogue) != kCatalogueOk) __builtin_trap();  // the file exists and is read
    for (const CatalogueEntry* entry = catalogue.head; entry != nullptr; entry = entry->next) {
        if (findByCrc(catalogue, entry->crc) == nullptr) __builtin_trap();
        for (int bank = firstBank(entry); bank != kNoBank; bank = nextBank(entry, bank)) {
            if (bank < 0 || bank >= kBankCount) __builtin_trap();
        }
    }
    return 0;
}
