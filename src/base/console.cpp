// The two console channels.
#include "base/console.h"

#include <cstdarg>

ConsoleTargets& consoleTargets() {
    static ConsoleTargets targets;
    return targets;
}

namespace {

void print(std::FILE* channel, const char* format, va_list args) { (void)std::vfprintf(channel, format, args); }

}  // namespace

void progress(int32_t verbosity, int level, const char* format, ...) {
    if (verbosity < level) return;
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
