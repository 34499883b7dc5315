// Writes the example working directory: a stand-in flasher program and a
// 16 KB ROM image whose first block has the CRC-16 of a default catalogue
// entry (d3da, banks 0B and 18) and whose second block is blank.
#include <algorithm>
#include <cstdio>
#include <string>

#include "support/test_support.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s EXAMPLES_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];

    // Load address $0300, then a few bytes that only say what they are.
    const std::string note = "NOT A REAL FLASHER";
    Bytes flasher(2 + note.size() + 1);
    flasher[0] = 0x00;
    flasher[1] = 0x03;
    std::copy(note.begin(), note.end(), flasher.begin() + 2);
    flasher.back() = 0x60;
    writeBytes(dir + "/fcFlash.prg", flasher);

    const std::string text = "STAND-IN ROM BLOCK FOR THE FLASH TOOL EXAMPLE. ";
    Bytes rom(8192);
    for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<uint8_t>(text[i % text.size()]);
    forgeCrc(rom, 0xD3DA);
    rom.resize(16384, 0xFF);
    writeBytes(dir + "/DD2.bin", rom);
    return 0;
}
