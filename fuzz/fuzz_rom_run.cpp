// Fuzz target: a whole run over one ROM file whose bytes, flasher size and
// options come from the input.
//
// Input: byte 0 = options (bit 0 -t, bit 1 -b, bit 2 -sbXX, bits 3-4 -vN,
// bit 5 stretch the ROM to whole blocks), byte 1 = the XX of -sbXX, bytes
// 2-3 = flasher size (mod 1100, so sizes past the limit occur), then the ROM.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "run/run_sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    fuzz::silenceConsole();
    if (size < 4) return 0;
    const uint8_t options = data[0];
    const uint8_t bankByte = data[1];
    const std::size_t flasherSize = (data[2] | (data[3] << 8)) % 1100;
    const uint8_t* rom = data + 4;
    std::size_t romSize = size - 4;

    std::vector<uint8_t> flasher(flasherSize);
    for (std::size_t i = 0; i < flasherSize; ++i) flasher[i] = static_cast<uint8_t>(i * 7 + 1);
    fuzz::writeFile("fcFlash.prg", flasher.data(), flasher.size());

    std::vector<uint8_t> stretched;
    if ((options & 0x20) != 0 && romSize > 0) {
        // Repeat the bytes over 1..4 whole blocks (plus a load address when bank byte is odd).
        const std::size_t blocks = 1 + (bankByte >> 6);
        const std::size_t total = blocks * 8192 + ((bankByte & 1) != 0 ? 2 : 0);
        stretched.assign(rom, rom + std::min(romSize, total));
        while (stretched.size() < total) {  // doubling copies, not a byte loop
            stretched.insert(stretched.end(), stretched.begin(),
                stretched.begin() + static_cast<std::ptrdiff_t>(std::min(stretched.size(), total - stretched.size())));
        }
        rom = stretched.data();
        romSize = stretched.size();
    }
    fuzz::writeFile("rom.bin", rom, romSize);

    std::vector<std::string> args{"quillmore-flashtool", "rom.bin"};
    if ((options & 0x01) != 0) args.push_back("-t");
    if ((options & 0x02) != 0) args.push_back("-b");
    if ((options & 0x04) != 0) {
        const char hex[] = "0123456789abcdefXY";
        args.push_back(
            std::string("-sb") + hex[(bankByte >> 4) % 18] + hex[(bankByte & 0x0F) + ((options >> 6) & 1) * 2]);
    }
    args.push_back("-v" + std::to_string((options >> 3) & 3));
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    const int status = runTool(static_cast<int>(argv.size()), argv.data());
    if (status != 0 && status != 1) __builtin_trap();

    // flash.bin, when there is one, is always exactly the 64 slots.
    if (std::FILE* image = std::fopen("flash.bin", "rb")) {
        std::fseek(image, 0, SEEK_END);
        const long length = std::ftell(image);
        std::fclose(image);
        if (length != 524288) __builtin_trap();
    }
    return 0;
}
