// Files that close on every path, and the checks every reader and writer of
// the tool needs: opening an input, telling its size, closing an output.
#pragma once

#include <cstdio>
#include <memory>

struct FileCloser {
    // Where a close can lose data, the code calls closeChecked instead.
    void operator()(std::FILE* stream) const { (void)std::fclose(stream); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens path for binary reading. Something that opens but cannot be read at
// all (a directory, on systems that open those) counts as not opened, so it
// is reported the same way everywhere.
// Returns: the stream positioned at the start, or an empty pointer.
FilePtr openInputFile(const char* path);

// Returns: the size of the file, with the stream back at its start; -1 when
// it cannot be told (a file too large for this system's file positions).
long fileSize(std::FILE* file);

// Closes an output file.
// Returns: true when every write reached the file and the close succeeded.
bool closeChecked(FilePtr& file);
