// Command line: usage text, banner, option scan.
#pragma once

#include <cstdint>

#include "run/settings.h"

enum class OptionsStatus { Ok = 0, BadBank = -1 };

// Returns: the bank 0..255 from the first two characters of text, both
// hexadecimal digits; -1 otherwise. Characters after the second are not read.
int parseHexByte(const char* text);

// Converts the text after "-v" like the C library's unsigned decimal
// conversion, computed in exactly 32 bits whatever the width of long:
// leading white space, one optional sign, digits up to the first non-digit;
// a magnitude above 4294967295 saturates to all bits set (whatever the sign),
// otherwise a minus sign negates modulo 2^32; no digits gives 0.
// Returns: the 32-bit result read as a signed number (-1, 2^31 and up negative).
int32_t parseVerbosityValue(const char* text);

void printUsage();
void printBanner();

// A request that is answered without running the tool: the only argument
// is "--help" or "-h" (the usage text) or "--version" (one line).
// Returns: true after printing the answer, false for any other command line.
bool answerHelpRequest(int argc, const char* const* argv);

// Applies the options among arguments 2..argc-1 (those beginning with "-")
// to settings, in order; argument 1 is never an option. Unknown options are
// ignored. Prints the message for a bad -sbXX.
// Returns: Ok, or BadBank after a bad -sbXX argument.
OptionsStatus applyOptions(RunSettings& settings, int argc, const char* const* argv);
