// quillmore-flashdisk: the program entry.
#include "run/disk_run.h"

int main(int argc, char** argv) { return runFlashDisk(argc, argv); }
