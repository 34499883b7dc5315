// Program entry of quillmore-flashinfo.
#include "run/info_run.h"

int main(int argc, char** argv) { return runFlashInfo(argc, argv); }
