// The two console channels.
#include "run/console.h"

#include <cstdarg>

ConsoleTargets& consoleTargets() {
    static ConsoleTargets targets;
    return targets;
}

void progress(const RunSettings& settings, int level, const char* format, ...) {
    if (settings.verbosity < level) return;
    va_list args;
    va_start(args, format);
    (void)std::vfprintf(consoleTargets().progress, format, args);
    va_end(args);
}

void progressAlways(const char* format, ...) {
    va_list args;
    va_start(args, format);
    (void)std::vfprintf(consoleTargets().progress, format, args);
    va_end(args);
}

void reportError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    (void)std::vfprintf(consoleTargets().error, format, args);
    va_end(args);
}
