// Program entry.
#include "run/run_sequence.h"

int main(int argc, char** argv) { return runTool(argc, argv); }
