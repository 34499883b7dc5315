// The two console channels.
#include "base/console.h"

#include <cerrno>
#include <cstdarg>

ConsoleTargets& consoleTargets() {
    static ConsoleTargets targets;
    return targets;
}

namespace {

// A write that fails on the progress channel is kept in mind: the first
// reason is the one worth telling.
void noteLost(std::FILE* channel) {
    ConsoleTargets& targets = consoleTargets();
    if (channel == targets.progress && targets.progressLost == 0) targets.progressLost = errno != 0 ? errno : EIO;
}

void print(std::FILE* channel, const char* format, va_list args) {
    if (std::vfprintf(channel, format, args) < 0) noteLost(channel);
}

}  // namespace

void progress(int32_t verbosity, Level level, const char* format, ...) {
    if (!shows(verbosity, level)) return;
    va_list args;
    va_start(args, format);
    print(consoleTargets().progress, format, args);
    va_end(args);
}

void progressAlways(const char* format, ...) {
    va_list args;
    va_start(args, format);
    print(consoleTargets().progress, format, args);
    va_end(args);
}

void reportError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    print(consoleTargets().error, format, args);
    va_end(args);
}

int finishProgress() {
    if (std::fflush(consoleTargets().progress) != 0) noteLost(consoleTargets().progress);
    return consoleTargets().progressLost;
}
