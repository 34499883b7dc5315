// Files that close on every path, and the rules every reader and writer of
// the tool follows: inputs are regular files, never probed by reading; an
// output is replaced whole or not at all, and never replaces an input.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "base/system.h"

struct FileCloser {
    // Where a close can lose data, closeChecked is used instead.
    void operator()(std::FILE* stream) const { (void)std::fclose(stream); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// What a name is, links followed: a dangling link is Missing, and a
// directory, FIFO or device is Other.
enum class FileKind { Missing, Regular, Other };
FileKind fileKind(const char* path);

// Opens path for binary reading when it is a regular file (links followed);
// anything else is never opened, so nothing can block or run endlessly.
// Returns: the stream, or an empty pointer.
FilePtr openInputFile(const char* path);

// Closes a file written to, and tells whether everything written reached it.
// Returns: true when no write failed and the close succeeded.
bool closeChecked(FilePtr& file);

// The files a run reads, which none of its outputs may replace or write
// into, whatever name reaches them (the run says which).
struct SparedFiles {
    std::vector<FileIdentity> identities;        // of the files that are there
    std::vector<std::filesystem::path> missing;  // named, but not there
};

// Returns: paths as files to spare, each told by its identity once, here.
SparedFiles spareFiles(const std::vector<std::filesystem::path>& paths);

// Adds the file open as file to spared: an input opened during the run,
// which may not have been there when the run began.
void spareOpenFile(std::FILE* file, SparedFiles& spared);

// Whether name is one of spared: by identity when it exists; when it does
// not, whether a spared name leads where a file made under name would be
// (links followed on both sides, then the paths made canonical).
bool isSpared(const char* name, const SparedFiles& spared);

// An output on its way: written to a temporary file beside the file it
// replaces (named after it: "flash.bin.tmp-Xa81Qz"), which takes that
// file's place only when it is complete.
struct ReplacedFile {
    FilePtr stream;
    std::filesystem::path target;  // the file that is replaced (where a link points)
    FileFacts targetFacts;         // as it was when the replacing began: its mode and owners are kept
    std::filesystem::path temporary;
    ReplacedFile() = default;
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;
    ~ReplacedFile();  // an output not committed leaves nothing behind
};

// Starts replacing name, which stays a link where it is one. Refused when
// name (or where it points) is not a regular file, cannot be opened for
// writing, is one of spared, or its folder takes no new file.
// Returns: true with file.stream open on the temporary file.
bool beginReplace(const char* name, const SparedFiles& spared, ReplacedFile& file);

// Closes the temporary file and gives it the target's permission bits,
// access control list, owner and group, so that it is ready to take the
// target's place; gives up the output when a write or the close failed.
// Several outputs that must change together are each finished before any
// is committed. Returns: true when it is ready.
bool finishReplace(ReplacedFile& file);

// Statuses of the two commits.
enum class CommitStatus {
    Committed = 0,
    NameTaken = 1,  // a file took the name meanwhile: it is kept, the temporary one removed
    Failed = -1,    // a write, the close or the naming failed: the target is as it was
};

// Finishes the temporary file (where finishReplace has not) and moves it
// onto its target, which keeps its permission bits, its access control
// list, and its owner and group where the run may set them; removes it
// instead when a write or the close failed. Other hard links of the target keep the earlier content. A target
// this run holds open and locked is passed as held (see replaceHeldFile).
// Returns: Committed or Failed.
CommitStatus commitReplace(ReplacedFile& file, std::FILE* held = nullptr);

// As commitReplace, for a target that did not exist: the temporary file
// takes the name only while no file has it, in one step (a hard link, or a
// rename that refuses an existing name).
// Returns: Committed, NameTaken or Failed.
CommitStatus commitWithoutReplacing(ReplacedFile& file);

// Gives up the output: the temporary file is removed, the target left as it was.
void abandonReplace(ReplacedFile& file);

// What tests change to reach the paths a run meets only by chance.
struct FileSeams {
    bool refuseHardLinks = false;        // as FAT and exFAT do
    bool refuseExclusiveRename = false;  // as some FUSE drivers and SMB shares do
    bool refuseAccessLists = false;      // a file system that keeps no list it is given
    void (*beforeNaming)(const std::filesystem::path& target) = nullptr;  // just before an output takes its name
};
FileSeams& fileSeams();
