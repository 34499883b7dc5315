// Files that close on every path, and the rules every reader and writer of
// the tool follows: inputs are regular files, never probed by reading; an
// output is replaced whole or not at all, and never replaces an input.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

struct FileCloser {
    // Where a close can lose data, commitReplace closes and checks instead.
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

// Returns: the size of the file, with the stream back at its start; -1 when
// it cannot be told (a file too large for this system's file positions).
long fileSize(std::FILE* file);

// Closes an output file written in place.
// Returns: true when every write reached the file and the close succeeded.
bool closeChecked(FilePtr& file);

// The files a run reads, which none of its outputs may replace, whatever name
// reaches them (the ROM files named on the command line).
using SparedFiles = std::vector<std::filesystem::path>;

// Whether name is one of spared: by identity when it exists; when it does
// not, whether a spared name leads where a file made under name would be
// (links followed on both sides, then the paths made canonical).
bool isSpared(const char* name, const SparedFiles& spared);

// An output on its way: written to a temporary file beside the file it
// replaces, which takes that file's place only when it is complete.
struct ReplacedFile {
    FilePtr stream;
    std::filesystem::path target;     // the file that is replaced (where a link points)
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

// Closes the temporary file and moves it onto its target, which keeps its
// permission bits, and its owner and group where the run may set them;
// removes it instead when a write or the close failed. Other hard links of
// the target keep the earlier content.
// Returns: true when the target now holds every byte written.
bool commitReplace(ReplacedFile& file);

// As commitReplace, for a target that did not exist: the temporary file
// takes the name only while no file has it. A file that took the name
// meanwhile is kept, and the temporary one removed.
// Returns: true when the target is the file written.
bool commitWithoutReplacing(ReplacedFile& file);

// Gives up the output: the temporary file is removed, the target left as it was.
void abandonReplace(ReplacedFile& file);
