// Runs the built tool as a user would, in the current directory, and captures what it printed.
#pragma once

#include <string>
#include <vector>

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the tool with these arguments (no shell metacharacters in them).
RunResult runFlashtool(const std::vector<std::string>& args);
