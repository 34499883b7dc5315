// Files owned so that they close on every path, and opening a file for reading.
#pragma once

#include <cstdio>
#include <memory>

struct FileCloser {
    // Where a close can lose data, the code closes explicitly and checks.
    void operator()(std::FILE* stream) const { (void)std::fclose(stream); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens path for binary reading. Something that opens but cannot be read at
// all (a directory, on systems that open those) counts as not opened, so it
// is reported the same way everywhere.
// Returns: the stream positioned at the start, or an empty pointer.
FilePtr openReadableFile(const char* path);
