// Shared test helpers: a fresh working directory per test, console capture, file bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "run/console.h"

using Bytes = std::vector<uint8_t>;

// Creates a fresh temporary directory and makes it the current directory
// (the tool uses fixed file names there); restores and removes it afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// A read-write binary file under a unique name in the temporary directory,
// removed when it closes (tmpfile() collides between parallel tests on some systems).
class TempFile {
public:
    TempFile();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::FILE* get() const { return file_; }

private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
};

// Sends both console channels to temporary files while it lives.
class CapturedConsole {
public:
    CapturedConsole();
    ~CapturedConsole();
    CapturedConsole(const CapturedConsole&) = delete;
    CapturedConsole& operator=(const CapturedConsole&) = delete;
    std::string progress() const { return contents(progress_.get()); }
    std::string errors() const { return contents(error_.get()); }

private:
    static std::string contents(std::FILE* file);
    ConsoleTargets saved_;
    TempFile progress_;
    TempFile error_;
};

// Bytes that differ from their neighbours (never a blank block).
Bytes patterned(std::size_t length, uint8_t seed);
// The names of the files in the current directory.
std::set<std::string> filesHere();

Bytes readBytes(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const Bytes& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);
