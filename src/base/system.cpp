// The few things a run asks of the system that the C++ standard library has
// no call for, each with a body per platform.
#include "base/system.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include <sys/xattr.h>
#endif

namespace fs = std::filesystem;

#ifndef _WIN32

RenameStatus renameAfterLooking(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error))) return RenameStatus::NameTaken;
    fs::rename(from, to, error);
    return error ? RenameStatus::Failed : RenameStatus::Renamed;
}

StandardStreams keepStandardStreamsOpen() {
    StandardStreams found = StandardStreams::Open;
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        if (fd == 1) found = StandardStreams::StdoutWasClosed;
        // The lower descriptors are open by now, so this open takes fd itself.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd) {
            if (opened >= 0) (void)close(opened);
            return StandardStreams::CannotOpen;
        }
    }
    return found;
}

int64_t fileSize(std::FILE* file) {
    // A regular file's size is what the system keeps for it, asked once. The
    // seeks (four calls, a read among them) are for the rest: an empty size
    // may stand for bytes the system does not count, which seeking tells (or fails).
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) return status.st_size;
    if (fseeko(file, 0, SEEK_END) != 0) return -1;
    const off_t size = ftello(file);
    if (size < 0 || fseeko(file, 0, SEEK_SET) != 0) return -1;
    return static_cast<int64_t>(size);
}

// "x" is C11's exclusive mode, honoured by the C libraries of POSIX systems.
std::FILE* createNewFile(const fs::path& path) { return std::fopen(path.c_str(), "wbx"); }

bool mayWrite(const fs::path& path) { return access(path.c_str(), W_OK) == 0; }

unsigned newFilePermissions() {
    static const unsigned permissions = [] {
        const mode_t mask = umask(0);
        (void)umask(mask);
        return 0666u & ~static_cast<unsigned>(mask);
    }();
    return permissions;
}

FileFacts lookAt(const fs::path& path) {
    struct stat status {};
    FileFacts facts;
    if (lstat(path.c_str(), &status) != 0) return facts;
    facts.exists = true;
    facts.link = S_ISLNK(status.st_mode);
    facts.regular = S_ISREG(status.st_mode);
    facts.identity = {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
    facts.permissions = static_cast<unsigned>(status.st_mode) & 07777u;
    facts.owner = status.st_uid;
    facts.group = status.st_gid;
    return facts;
}

bool copyOwnerAndGroup(const FileFacts& model, const fs::path& file) {
    // A new file is the run's own, with its group: nothing to give where the model's are the same.
    static const uid_t runUser = geteuid();
    static const gid_t runGroup = getegid();
    const auto owner = static_cast<uid_t>(model.owner);
    const auto group = static_cast<gid_t>(model.group);
    if (owner == runUser && group == runGroup) return true;
    // Only root may give a file away; a member of the group may still set
    // it. What may not be set stays as the system made it.
    return chown(file.c_str(), owner, group) == 0 || chown(file.c_str(), static_cast<uid_t>(-1), group) == 0;
}

RenameStatus renameWithoutReplacing(const fs::path& from, const fs::path& to) {
#if defined(__linux__)
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return RenameStatus::Renamed;
#elif defined(__APPLE__)
    if (renamex_np(from.c_str(), to.c_str(), RENAME_EXCL) == 0) return RenameStatus::Renamed;
#else
    errno = EINVAL;  // no such call here
#endif
    if (errno == EEXIST) return RenameStatus::NameTaken;
    // Refused by the file system or the kernel (FAT through some drivers, old kernels).
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) return renameAfterLooking(from, to);
    return RenameStatus::Failed;
}

bool lockFile(std::FILE* file) {
    // flock, not a record lock: it also holds against another stream of this
    // process, and it ends with the open file or the process.
    while (flock(fileno(file), LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

bool fileIdentity(const fs::path& path, FileIdentity& identity) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return false;
    identity = {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
    return true;
}

bool openFileIdentity(std::FILE* file, FileIdentity& identity) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0) return false;
    identity = {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
    return true;
}

bool replaceHeldFile(const fs::path& from, const fs::path& to, std::FILE*) {
    std::error_code error;
    fs::rename(from, to, error);
    return !error;
}

#else

// A program started with its standard streams closed still gets descriptors
// above 2 for the files it opens, so console text never reaches them (and a
// closed stdout is not told apart there).
StandardStreams keepStandardStreamsOpen() { return StandardStreams::Open; }

int64_t fileSize(std::FILE* file) {
    if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
    const long long size = _ftelli64(file);
    if (size < 0 || _fseeki64(file, 0, SEEK_SET) != 0) return -1;
    return static_cast<int64_t>(size);
}

// msvcrt takes "x" for a plain "w": the exclusive open is asked of the system itself.
std::FILE* createNewFile(const fs::path& path) {
    const int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) (void)_close(fd);
    return file;
}

FileFacts lookAt(const fs::path& path) {
    FileFacts facts;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    facts.exists = fs::exists(status);
    facts.link = fs::is_symlink(status);
    facts.regular = fs::is_regular_file(status);
    facts.permissions = static_cast<unsigned>(status.permissions()) & 0777u;
    if (facts.regular) (void)fileIdentity(path, facts.identity);
    return facts;
}

bool mayWrite(const fs::path& path) {
    std::FILE* file = _wfopen(path.c_str(), L"r+b");
    if (file != nullptr) (void)std::fclose(file);
    return file != nullptr;
}

// The bits a file is made with there: never the ones of a replaced file, which are set.
unsigned newFilePermissions() { return 0; }

// Files on Windows have no POSIX owner and group to keep.
bool copyOwnerAndGroup(const FileFacts&, const fs::path&) { return true; }

// The C library's rename never replaces an existing file there, in one step.
RenameStatus renameWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (std::rename(from.string().c_str(), to.string().c_str()) == 0) return RenameStatus::Renamed;
    std::error_code error;
    return fs::exists(fs::symlink_status(to, error)) ? RenameStatus::NameTaken : RenameStatus::Failed;
}

RenameStatus renameAfterLooking(const fs::path& from, const fs::path& to) { return renameWithoutReplacing(from, to); }

bool lockFile(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    OVERLAPPED whole{};
    return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != 0;
}

namespace {

bool identityOf(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || GetFileInformationByHandle(handle, &info) == 0) return false;
    identity = {info.dwVolumeSerialNumber, (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

}  // namespace

bool fileIdentity(const fs::path& path, FileIdentity& identity) {
    // Backup semantics: folders open too, as every file has an identity.
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool known = identityOf(handle, identity);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    return known;
}

bool openFileIdentity(std::FILE* file, FileIdentity& identity) {
    return identityOf(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), identity);
}

// Windows refuses to rename over a file that any process holds open, and
// every run waiting for the lock holds it open: the held file is rewritten
// in place instead. Its size becomes from's only with the last byte, so no
// run takes it for whole before then.
bool replaceHeldFile(const fs::path& from, const fs::path&, std::FILE* held) {
    std::FILE* source = _wfopen(from.c_str(), L"rb");
    if (source == nullptr) return false;
    bool copied = std::fseek(held, 0, SEEK_SET) == 0;
    char buffer[8192];
    long long size = 0;
    for (std::size_t got; copied && (got = std::fread(buffer, 1, sizeof buffer, source)) > 0; size += got) {
        copied = std::fwrite(buffer, 1, got, held) == got;
    }
    copied = copied && std::ferror(source) == 0 && std::fflush(held) == 0 && _chsize_s(_fileno(held), size) == 0;
    (void)std::fclose(source);
    std::error_code ignored;
    fs::remove(from, ignored);
    return copied;
}

#endif

bool namesFile(const fs::path& name, std::FILE* file) {
    FileIdentity named, open;
    return fileIdentity(name, named) && openFileIdentity(file, open) && named == open;
}

#ifdef __linux__

namespace {

constexpr const char* kAccessListName = "system.posix_acl_access";
constexpr std::size_t kListHeaderSize = 4;  // the format's version
constexpr std::size_t kListEntrySize = 8;   // tag, permissions, id
constexpr uint16_t kGroupObjectTag = 0x04;  // the owning group
constexpr uint16_t kMaskTag = 0x10;         // the most any group or named user gets
constexpr uint16_t kOtherTag = 0x20;        // everyone else

// Returns: the permissions the list gives the owning group, at most its mask (rwx as 0..7).
unsigned owningGroupAccess(const std::vector<uint8_t>& list) {
    unsigned group = 7, mask = 7;
    for (std::size_t at = kListHeaderSize; at + kListEntrySize <= list.size(); at += kListEntrySize) {
        const unsigned tag = list[at] | (list[at + 1] << 8);
        const unsigned permissions = list[at + 2] & 7u;
        if (tag == kGroupObjectTag) group = permissions;
        if (tag == kMaskTag) mask = permissions;
    }
    return group & mask;
}

// Returns: whether files made in folder take an access list from its default one, asked once a folder.
bool givesAccessList(const fs::path& folder) {
    static std::map<fs::path, bool> asked;
    const auto found = asked.find(folder);
    if (found != asked.end()) return found->second;
    const fs::path where = folder.empty() ? fs::path(".") : folder;
    return asked[folder] = getxattr(where.c_str(), "system.posix_acl_default", nullptr, 0) > 0;
}

}  // namespace

// Gives the list's owning-group entry no more than its entry for others.
void narrowOwningGroup(std::vector<uint8_t>& list) {
    unsigned others = 7;
    for (std::size_t at = kListHeaderSize; at + kListEntrySize <= list.size(); at += kListEntrySize) {
        if ((list[at] | (list[at + 1] << 8)) == kOtherTag) others = list[at + 2] & 7u;
    }
    for (std::size_t at = kListHeaderSize; at + kListEntrySize <= list.size(); at += kListEntrySize) {
        if ((list[at] | (list[at + 1] << 8)) == kGroupObjectTag) list[at + 2] &= static_cast<uint8_t>(others);
    }
}

void copyAccessControlList(const fs::path& model, const fs::path& file, bool groupKept, bool settable) {
    std::vector<uint8_t> list;
    const ssize_t size = getxattr(model.c_str(), kAccessListName, nullptr, 0);
    if (size > 0) {
        list.resize(static_cast<std::size_t>(size));
        list.resize(static_cast<std::size_t>(
            std::max<ssize_t>(0, getxattr(model.c_str(), kAccessListName, list.data(), list.size()))));
    }
    if (list.empty()) {
        // The mode says it all: a list the new file took from its folder's
        // default list must not outlive the replacement.
        if (givesAccessList(file.parent_path())) (void)removexattr(file.c_str(), kAccessListName);
        return;
    }
    // What the list gave the owning group must not go to another group.
    if (!groupKept) narrowOwningGroup(list);
    if (settable && setxattr(file.c_str(), kAccessListName, list.data(), list.size(), 0) == 0) return;
    // The mode's group bits show the mask, which can be more than the owning group had.
    const unsigned allowed = owningGroupAccess(list) << 3;
    std::error_code ignored;
    fs::permissions(file, fs::perms(~allowed & 070u), fs::perm_options::remove, ignored);
}
#else

// POSIX access control lists are Linux's extended attribute; Windows keeps
// its own lists, which a file made beside the target inherits from the folder.
void copyAccessControlList(const fs::path&, const fs::path&, bool, bool) {}

#endif
