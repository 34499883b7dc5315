// The few things a run asks of the system that the C++ standard library has
// no call for, each with a body per platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

enum class StandardStreams {
    Open,             // all three were open, or are now
    StdoutWasClosed,  // all are open now, but descriptor 1 was closed: what is printed there is lost
    CannotOpen,       // a closed one could not be opened
};

// Opens the null device on any of the standard descriptors 0, 1 and 2 that
// is closed, so that no file the tool opens later takes its number and
// receives console text. Call it before any file is opened.
// Returns: what it found and did.
StandardStreams keepStandardStreamsOpen();

// Tells the size of an open file in 64 bits, whatever the width of long
// (32 bits on Windows and in WebAssembly, where the standard ftell fails
// from 2 GiB on).
// file: a stream not read from or written to since it was opened.
// Returns: the size, with the stream at its start; -1 when it cannot be told.
int64_t fileSize(std::FILE* file);

// Creates path for binary writing only while no file has that name, in one
// step (C11's "x" mode, which not every C library honours).
// Returns: the stream, or nullptr when the name is taken or the folder takes no new file.
std::FILE* createNewFile(const std::filesystem::path& path);

// What tells one file from every other on the system, whatever its names.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t file = 0;
    bool operator==(const FileIdentity& other) const { return device == other.device && file == other.file; }
};

// What one look at a name tells: whether it is there, a link (not
// followed) or a regular file, which file it is, its permission bits, and
// its owner and group (none on Windows).
struct FileFacts {
    bool exists = false;
    bool link = false;
    bool regular = false;
    FileIdentity identity;
    unsigned permissions = 0;
    uint64_t owner = 0, group = 0;
};

// Returns: the facts of path itself (a link is not followed), in one call.
FileFacts lookAt(const std::filesystem::path& path);

// Gives file the owner and group of the file model describes, or the group
// alone, as far as the run is allowed to set them; what it may not set
// stays as it is. Nothing is asked of the system where they are the run's own.
// Returns: true when file's group is model's now.
bool copyOwnerAndGroup(const FileFacts& model, const std::filesystem::path& file);

// Gives file the access control list of model, where model has one beyond
// its permission bits; where model has none, file keeps none either (not
// one it took from its folder's default list, which is asked once a
// folder). Where file's owning group is not model's (groupKept false), the
// list's entry for the owning group gets no more than it gives others.
// Where the list cannot be set (or settable is false, as tests ask), the
// group bits of file's mode are narrowed to what the list gave the owning
// group: no one gains access either way.
void copyAccessControlList(
    const std::filesystem::path& model, const std::filesystem::path& file, bool groupKept, bool settable = true);

// Returns: whether the run may write into the existing file at path, as
// the system would decide on opening it (for root, and on Windows, the
// permission bits do not tell).
bool mayWrite(const std::filesystem::path& path);

// Returns: the permission bits a file this run creates gets (0666 less the
// umask), asked of the system once.
unsigned newFilePermissions();

enum class RenameStatus {
    Renamed = 0,
    NameTaken = 1,  // to exists: nothing was renamed
    Failed = -1,
};

// Renames from to to unless a file has the name to, in one step where the
// system has one (Linux, macOS, Windows); where the file system refuses that
// step, by renameAfterLooking.
// Returns: Renamed, NameTaken or Failed.
RenameStatus renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The last resort where no rename refuses an existing name: a look at to
// just before the rename, which leaves a window in which a file made by
// someone else is replaced.
// Returns: Renamed, NameTaken or Failed.
RenameStatus renameAfterLooking(const std::filesystem::path& from, const std::filesystem::path& to);

// Waits until no other process holds the lock on the open file, then takes
// it. The lock ends when the file is closed, or by the system when the
// process ends, so a killed run never blocks a later one.
// Returns: false when the lock could not be taken.
bool lockFile(std::FILE* file);

// Returns: true with identity set when path (links followed) names a file.
bool fileIdentity(const std::filesystem::path& path, FileIdentity& identity);

// Returns: true with identity set when file is open on a file of the system.
bool openFileIdentity(std::FILE* file, FileIdentity& identity);

// Returns: true when name (links followed) is the very file open as file.
bool namesFile(const std::filesystem::path& name, std::FILE* file);

// Puts the file from in place of to, where held is to, open and locked by
// this run: a rename where the system replaces a file others hold open
// (POSIX); on Windows, which refuses that, held is rewritten in place with
// from's bytes and from removed.
// Returns: true when to holds every byte of from.
bool replaceHeldFile(const std::filesystem::path& from, const std::filesystem::path& to, std::FILE* held);
