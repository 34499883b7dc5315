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

// What each verbosity (-vN) shows on the progress channel:
//   0 or less  nothing gated: only what progressAlways prints (the banner,
//              the usage text, the size of a ROM file that is not one bare
//              block) and the errors
//   1          the default: the steps of a run (the catalogue read or
//              written, each file opened or written, ROM names, blank blocks)
//   2          also the details of each step: CRC-16s, sizes, load and start
//              addresses, the offset of each slot written into flash.bin
//   3          also every loader record written, and each seek and write of a slot
enum class Level { Steps = 1, Details = 2, Records = 3 };

// Returns: true when a message of level is printed at verbosity.
inline bool shows(int32_t verbosity, Level level) { return verbosity >= static_cast<int32_t>(level); }

// Prints on the progress channel when the verbosity shows the level.
void progress(int32_t verbosity, Level level, const char* format, ...) FLASHTOOL_PRINTF(3, 4);

// Prints on the progress channel whatever the verbosity (banner, usage, odd file sizes, reports).
void progressAlways(const char* format, ...) FLASHTOOL_PRINTF(1, 2);

// Flushes the progress channel.
// Returns: 0 when everything printed on it reached its target; else the
// system's error number of the first write that failed.
int finishProgress();

// Prints on the error channel, always.
void reportError(const char* format, ...) FLASHTOOL_PRINTF(1, 2);
