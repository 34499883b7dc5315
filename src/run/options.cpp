// The command line of quillmore-flashinfo and quillmore-flashdisk.
#include "run/options.h"

#include <cstring>

#include "base/console.h"
#include "inspect/display_text.h"

namespace {

// Prints --help: every synopsis, then the help text.
void printHelp(const ProgramUsage& usage) {
    for (std::size_t i = 0; i < usage.synopses.size(); ++i)
        progressAlways("%s %s %s\n", i == 0 ? "Usage:" : "      ", usage.program, usage.synopses[i]);
    progressAlways("\n%s", usage.help);
}

const ProgramOption* findOption(const ProgramUsage& usage, const char* arg) {
    for (const ProgramOption& option : usage.options) {
        if (std::strcmp(option.name, arg) == 0) return &option;
    }
    return nullptr;
}

}  // namespace

void printShortUsage(const ProgramUsage& usage, std::size_t synopsis) {
    reportError("Usage: %s %s  (see --help)\n", usage.program, usage.synopses[synopsis]);
}

ScanStatus scanArguments(int argc, const char* const* argv, const ProgramUsage& usage,
    const std::function<void(int id, const char* value)>& option, const std::function<void(const char*)>& operand) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (optionsEnded || arg[0] != '-' || arg[1] == '\0') {
            operand(arg);
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            printHelp(usage);
            return ScanStatus::Answered;
        } else if (std::strcmp(arg, "--version") == 0) {
            progressAlways("%s %s\n", usage.program, FLASHTOOL_VERSION);
            return ScanStatus::Answered;
        } else if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (const ProgramOption* found = findOption(usage, arg)) {
            if (found->value != nullptr && i + 1 == argc) {
                if (usage.valueNamed) {
                    reportError("%s: %s needs a %s (see --help)\n", usage.program, arg, found->value);
                } else {
                    reportError("%s: option '%s' needs a value (see --help)\n", usage.program, arg);
                }
                return ScanStatus::Refused;
            }
            option(found->id, found->value != nullptr ? argv[++i] : nullptr);
        } else {
            reportError("%s: unknown option '%s' (see --help)\n", usage.program, tableText(arg).c_str());
            return ScanStatus::Refused;
        }
    }
    return ScanStatus::Scanned;
}
