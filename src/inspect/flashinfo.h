// quillmore-flashinfo: what is in a flash image or a bank loader file, before it is burned or sent.
#pragma once

constexpr int kInfoAllGood = 0;
constexpr int kInfoFoundWrong = 1;  // damage, unknown or misplaced content
constexpr int kInfoFailed = 2;      // bad usage, or a file that cannot be read as asked

// Runs quillmore-flashinfo on a command line. Returns: the process exit status.
int runFlashInfo(int argc, const char* const* argv);
