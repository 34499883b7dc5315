// Runs the built tool as a user would.
#include "support/run_binary.h"

#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

RunResult runProgram(const std::string& program, const std::vector<std::string>& args) {
    // Captures go beside the working directory, not into it, so they never
    // show up among the files the tool wrote.
    const fs::path base = fs::current_path();
    const fs::path outFile = base.string() + ".stdout";
    const fs::path errFile = base.string() + ".stderr";
    std::string command = "\"" + program + "\"";
    for (const std::string& arg : args) command += " \"" + arg + "\"";
    command += " >\"" + outFile.string() + "\" 2>\"" + errFile.string() + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd /c strips one pair of outer quotes
#endif
    RunResult result;
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    result.status = raw;
#else
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
    result.out = readText(outFile);
    result.err = readText(errFile);
#ifdef _WIN32
    // The console streams are text mode there: fold CR LF to LF.
    for (std::string* text : {&result.out, &result.err}) {
        std::string folded;
        for (std::size_t i = 0; i < text->size(); ++i) {
            if ((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') continue;
            folded += (*text)[i];
        }
        *text = folded;
    }
#endif
    fs::remove(outFile);
    fs::remove(errFile);
    return result;
}

}  // namespace

RunResult runFlashtool(const std::vector<std::string>& args) { return runProgram(FLASHTOOL_EXE, args); }

RunResult runFlashinfo(const std::vector<std::string>& args) { return runProgram(FLASHINFO_EXE, args); }
