// The whole run, step by step in its fixed order.
#pragma once

enum class ToolExit {
    Ok = 0,
    Failure = 1,  // bad -sbXX argument, no catalogue to be had, or an output not written in full
};

// Runs the tool on a command line.
// Returns: the process exit status, a ToolExit.
int runTool(int argc, const char* const* argv);
