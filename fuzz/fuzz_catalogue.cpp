// Fuzz target: the bytes of "crc.ini" through loadCatalogueFile, then every
// lookup the run makes on what was loaded.
#include <cstddef>
#include <cstdint>

#include "catalogue/catalogue_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    fuzz::silenceConsole();
    fuzz::writeFile(kCatalogueFileName, data, size);
    Catalogue catalogue;
    if (loadCatalogueFile(1, catalogue) != CatalogueStatus::Ok) __builtin_trap();  // the file exists and is read
    for (const CatalogueEntry& entry : catalogue.entries) {
        if (findByCrc(catalogue, entry.crc) == nullptr) __builtin_trap();
        if (entry.name.size() > kMaxNameLength) __builtin_trap();
        for (int bank = firstBank(&entry); bank != kNoBank; bank = nextBank(&entry, bank)) {
            if (bank < 0 || bank >= kBankCount) __builtin_trap();
        }
    }
    return 0;
}
