// Runs the built tool as a user would, in the current directory, and captures what it printed.
#pragma once

#include <string>
#include <vector>

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Run the built tools with these arguments (no double quotes or % in them).
RunResult runFlashtool(const std::vector<std::string>& args);
RunResult runFlashinfo(const std::vector<std::string>& args);
