// Fuzz target: any bytes as a bank loader file through the decoder and the
// checks of quillmore-flashinfo, against the built-in catalogue.
#include <cstddef>
#include <cstdint>

#include "catalogue/catalogue_file.h"
#include "inspect/file_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const Catalogue catalogue = [] {
        Catalogue loaded;
        loadDefaultCatalogue(loaded);
        return loaded;
    }();
    LoaderReport report;
    inspectLoaderBytes(data, size, catalogue, report);
    // Undamaged means a whole 8 KB block at 0x4000, and damage is never past the end.
    if (!report.damaged && (report.blockSize != 8192 || report.blockStart != 0x4000)) __builtin_trap();
    if (report.damaged && report.damageOffset > size) __builtin_trap();
    return 0;
}
