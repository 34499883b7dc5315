// The few things a run asks of the system that the C++ standard library has
// no call for, each with a body per platform.
#include "base/system.h"

#include <cstdio>
#include <system_error>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifndef _WIN32

bool keepStandardStreamsOpen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lower descriptors are open by now, so this open takes fd itself.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd) {
            if (opened >= 0) (void)close(opened);
            return false;
        }
    }
    return true;
}

void copyOwnerAndGroup(const fs::path& model, const fs::path& file) {
    struct stat owner {};
    if (stat(model.c_str(), &owner) != 0) return;
    // Only root may give a file away; a member of the group may still set
    // it. What may not be set stays as the system made it.
    const bool given = chown(file.c_str(), owner.st_uid, owner.st_gid) == 0;
    const bool grouped = given || chown(file.c_str(), static_cast<uid_t>(-1), owner.st_gid) == 0;
    (void)grouped;
}

bool renameWithoutReplacing(const fs::path& from, const fs::path& to) {
    // POSIX renames over an existing name, so the name is checked just
    // before: a file made in the small window between the two is replaced.
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error))) return false;
    fs::rename(from, to, error);
    return !error;
}

#else

// A program started with its standard streams closed still gets descriptors
// above 2 for the files it opens, so console text never reaches them.
bool keepStandardStreamsOpen() { return true; }

// Files on Windows have no POSIX owner and group to keep.
void copyOwnerAndGroup(const fs::path&, const fs::path&) {}

// The C library's rename never replaces an existing file there, in one step.
bool renameWithoutReplacing(const fs::path& from, const fs::path& to) {
    return std::rename(from.string().c_str(), to.string().c_str()) == 0;
}

#endif
