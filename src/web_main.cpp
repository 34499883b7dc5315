// Program entry of the web engine: the three programs in one module, told
// apart by the program name the page runs (argument 0).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "run/disk_run.h"
#include "run/info_run.h"
#include "run/run_sequence.h"

namespace {

const char* program = "";

// WebAssembly has no exceptions here to carry std::bad_alloc to a catch:
// when memory runs out the run says so and aborts, and the page reports it.
void outOfMemory() {
    (void)std::fflush(stdout);
    (void)std::fprintf(stderr, "%s: out of memory\n", program);
    std::abort();
}

}  // namespace

int main(int argc, char** argv) {
    const char* slash = std::strrchr(argv[0], '/');
    program = slash != nullptr ? slash + 1 : argv[0];
    std::set_new_handler(outOfMemory);
    // Standard output goes out line by line, as on a terminal, so that the
    // page shows it in order with the errors.
    (void)std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    const int status = std::strcmp(program, "quillmore-flashinfo") == 0   ? runFlashInfo(argc, argv)
                       : std::strcmp(program, "quillmore-flashdisk") == 0 ? runFlashDisk(argc, argv)
                                                                          : runTool(argc, argv);
    // The module is never shut down, so nothing else would flush text
    // without a final line feed.
    (void)std::fflush(nullptr);
    return status;
}
