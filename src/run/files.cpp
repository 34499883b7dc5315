// Opening a file for reading.
#include "run/files.h"

FilePtr openReadableFile(const char* path) {
    FilePtr file(std::fopen(path, "rb"));
    if (!file) return file;
    const int first = std::fgetc(file.get());
    if (first == EOF && std::ferror(file.get())) return FilePtr();
    std::rewind(file.get());
    return file;
}
