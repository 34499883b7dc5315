// Opening inputs, telling sizes, closing outputs.
#include "base/files.h"

FilePtr openInputFile(const char* path) {
    FilePtr file(std::fopen(path, "rb"));
    if (!file) return file;
    const int first = std::fgetc(file.get());
    if (first == EOF && std::ferror(file.get())) return FilePtr();
    std::rewind(file.get());
    return file;
}

long fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return size;
}

bool closeChecked(FilePtr& file) {
    const bool written = std::ferror(file.get()) == 0;
    return std::fclose(file.release()) == 0 && written;
}
