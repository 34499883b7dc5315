// Shared setup for the fuzz targets: a private scratch working directory
// (on tmpfs where there is one) and a console that prints nowhere.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "base/console.h"

namespace fuzz {

// Makes a fresh scratch directory the current directory, once per process.
inline void enterScratchDirectory() {
    static bool entered = false;
    if (entered) return;
    entered = true;
    namespace fs = std::filesystem;
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    char name[64];
    std::snprintf(name, sizeof name, "flashtool-fuzz-%p", static_cast<void*>(&entered));
    fs::path dir =
        base / (std::string(name) + "-" + std::to_string(std::hash<std::string>{}(fs::current_path().string())));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
}

inline void silenceConsole() {
    static std::FILE* sink = std::fopen("/dev/null", "wb");
    consoleTargets().progress = sink;
    consoleTargets().error = sink;
}

inline void writeFile(const char* name, const uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) return;
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
}

}  // namespace fuzz
