// Command line: usage text, banner, option scan.
#include "run/command_line.h"

#include <string>

#include "base/console.h"
#include "base/hex_digit.h"
#include "run/usage_text.h"

int parseHexByte(const char* text) {
    const int high = hexDigitValue(text[0]);
    if (high < 0) return -1;
    const int low = hexDigitValue(text[1]);
    if (low < 0) return -1;
    return high * 16 + low;
}

namespace {

bool isConversionSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

int32_t parseVerbosityValue(const char* text) {
    constexpr uint64_t kAllBits = 0xFFFFFFFFu;
    while (isConversionSpace(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    uint64_t magnitude = 0;
    bool saturated = false;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*text - '0');
        if (magnitude > kAllBits) {
            saturated = true;
            magnitude = kAllBits;  // keep accumulating safely; the result is fixed now
        }
    }
    uint32_t value = saturated ? 0xFFFFFFFFu : static_cast<uint32_t>(magnitude);
    if (negative && !saturated) value = static_cast<uint32_t>(0u - value);
    // Two's complement reading of the 32 bits, without implementation-defined conversion.
    if (value <= 0x7FFFFFFFu) return static_cast<int32_t>(value);
    return static_cast<int32_t>(static_cast<int64_t>(value) - 0x100000000LL);
}

void printUsage() {
    for (const char* line : kUsageText) progressAlways("%s", line);
}

void printBanner() { progressAlways("##### Quillmore Flash Tool #####\n"); }

bool answerHelpRequest(int argc, const char* const* argv) {
    if (argc != 2) return false;
    const std::string only = argv[1];
    if (only == "--help" || only == "-h") {
        printUsage();
        return true;
    }
    if (only == "--version") {
        progressAlways("quillmore-flashtool %s\n", FLASHTOOL_VERSION);
        return true;
    }
    return false;
}

OptionsStatus applyOptions(RunSettings& settings, int argc, const char* const* argv) {
    for (int i = 2; i < argc; ++i) {
        if (argv[i][0] != '-') continue;
        const char* option = argv[i] + 1;
        if (option[0] == 'v') {
            settings.verbosity = parseVerbosityValue(option + 1);
        } else if (option[0] == 'b') {
            settings.writeBlockFiles = true;
        } else if (option[0] == 's' && option[1] == 'b') {
            const int bank = parseHexByte(option + 2);
            if (bank < 0) {
                reportError("** option 'set bank' need a hex byte argument ...\n");
                return OptionsStatus::BadBank;
            }
            settings.forcedBank = bank;
        } else if (option[0] == 't') {
            settings.writeFlashImage = true;
        }
    }
    return OptionsStatus::Ok;
}
