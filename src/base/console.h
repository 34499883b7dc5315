// The two console channels: progress on standard output, gated by a
// verbosity, and errors on standard error.
#pragma once

#include <cstdint>
#include <cstdio>

#if defined(__GNUC__)
#define FLASHTOOL_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define FLASHTOOL_PRINTF(fmtIndex, firstArg)
#endif

// Where the channels write; fuzz targets and benchmarks point them elsewhere.
struct ConsoleTargets {
    std::FILE* progress = stdout;
    std::FILE* error = stderr;
};
ConsoleTargets& consoleTargets();

// Prints on the progress channel when verbosity >= level.
void progress(int32_t verbosity, int level, const char* format, ...) FLASHTOOL_PRINTF(3, 4);

// Prints on the progress channel whatever the verbosity (banner, usage, odd file sizes, reports).
void progressAlways(const char* format, ...) FLASHTOOL_PRINTF(1, 2);

// Prints on the error channel, always.
void reportError(const char* format, ...) FLASHTOOL_PRINTF(1, 2);
