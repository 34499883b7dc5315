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
    int progressLost = 0;  // the system's error number of the first failed write on the progress channel
};
ConsoleTargets& consoleTargets();

// Prints on the progress channel when verbosity >= level.
void progress(int32_t verbosity, int level, const char* format, ...) FLASHTOOL_PRINTF(3, 4);

// Prints on the progress channel whatever the verbosity (banner, usage, odd file sizes, reports).
void progressAlways(const char* format, ...) FLASHTOOL_PRINTF(1, 2);

// Flushes the progress channel.
// Returns: 0 when everything printed on it reached its target; else the
// system's error number of the first write that failed.
int finishProgress();

// Prints on the error channel, always.
void reportError(const char* format, ...) FLASHTOOL_PRINTF(1, 2);
