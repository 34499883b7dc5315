// The two console channels: progress (standard output, gated by verbosity) and errors.
#pragma once

#include <cstdio>

#include "run/settings.h"

#if defined(__GNUC__)
#define FLASHTOOL_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define FLASHTOOL_PRINTF(fmtIndex, firstArg)
#endif

// Where the channels write; tests point them at files.
struct ConsoleTargets {
    std::FILE* progress = stdout;
    std::FILE* error = stderr;
};
ConsoleTargets& consoleTargets();

// Prints on the progress channel when settings.verbosity >= level.
void progress(const RunSettings& settings, int level, const char* format, ...) FLASHTOOL_PRINTF(3, 4);

// Prints on the progress channel whatever the verbosity (banner, usage, odd file sizes).
void progressAlways(const char* format, ...) FLASHTOOL_PRINTF(1, 2);

// Prints on the error channel, always.
void reportError(const char* format, ...) FLASHTOOL_PRINTF(1, 2);
