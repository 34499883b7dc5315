// Program entry of quillmore-flashinfo.
#include "inspect/flashinfo.h"

int main(int argc, char** argv) { return runFlashInfo(argc, argv); }
