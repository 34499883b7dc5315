// quillmore-flashinfo: what is in a flash image or a bank loader file, before it is burned or sent.
#pragma once

// Runs quillmore-flashinfo on a command line.
// Returns: the process exit status, an InfoStatus.
int runFlashInfo(int argc, const char* const* argv);
