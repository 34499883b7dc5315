// The command line of the programs whose options are their own,
// quillmore-flashinfo and quillmore-flashdisk: one scanner for both, and
// each program's synopsis and help written once, in its usage.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// One option of a program: how it is written, and the name of the value
// that follows it (nullptr when it takes none).
struct ProgramOption {
    int id;
    const char* name;
    const char* value;
};

// What a program says of itself: its synopses (the first the usual one),
// the text --help prints after them, and its options. -h, --help and
// --version are every program's.
struct ProgramUsage {
    const char* program;
    std::vector<const char*> synopses;
    const char* help;
    std::vector<ProgramOption> options;
    bool valueNamed;  // a missing value is named ("--catalogue needs a FILE"), or not ("option '-i' needs a value")
};

enum class ScanStatus {
    Scanned = 0,   // every argument handed on
    Answered = 1,  // the help or the version printed: the run ends here, status 0
    Refused = 2,   // an unknown option, or one without its value: said, the run ends, status 2
};

// Prints "Usage: PROGRAM SYNOPSIS  (see --help)" on the error channel, for the synopsis numbered.
void printShortUsage(const ProgramUsage& usage, std::size_t synopsis = 0);

// Scans the arguments after the program's name: -h, --help and --version,
// wherever they stand, end the scan with their text; every other argument
// that starts with "-" (but "-" itself) before "--" is an option, handed to
// option with its value; every other argument, in order, to operand.
// Returns: the scan's status.
ScanStatus scanArguments(int argc, const char* const* argv, const ProgramUsage& usage,
    const std::function<void(int id, const char* value)>& option, const std::function<void(const char*)>& operand);
