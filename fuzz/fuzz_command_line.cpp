// Fuzz target: the command line. The input, split at NUL bytes, is the
// argument vector after the program name; the working directory holds a
// flasher, the default catalogue and ROM files the arguments can name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "run/run_sequence.h"

namespace {

void prepareDirectory() {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    const uint8_t flasher[] = {0x00, 0x03, 0xAA, 0xBB};
    fuzz::writeFile("fcFlash.prg", flasher, sizeof flasher);
    std::vector<uint8_t> rom(8194, 0x5A);
    fuzz::writeFile("rom.bin", rom.data(), rom.size());
    fuzz::writeFile("memFlashBank_00.bin", rom.data() + 2, 8192);
    std::vector<uint8_t> blank(16384, 0xFF);
    fuzz::writeFile("memFlashBank_22.bin", blank.data(), blank.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    fuzz::silenceConsole();
    prepareDirectory();
    std::vector<std::string> args{"quillmore-flashtool"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (size > 0) args.push_back(current);
    if (args.size() > 64) return 0;
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    const int status = runTool(static_cast<int>(argv.size()), argv.data());
    if (status != 0 && status != 1) __builtin_trap();
    return 0;
}
