// Shared test helpers.
#include "support/test_support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// A fresh name in the temporary directory (64 random bits: no retries needed).
fs::path uniqueTempPath(const char* prefix) {
    static std::mt19937_64 random{std::random_device{}()};
    return fs::temp_directory_path() / (prefix + std::to_string(random()));
}

}  // namespace

ScratchDir::ScratchDir() : previous_(fs::current_path()), path_(uniqueTempPath("flashtool-test-")) {
    if (!fs::create_directory(path_)) throw std::runtime_error("cannot create " + path_.string());
    fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

TempFile::TempFile() : path_(uniqueTempPath("flashtool-capture-")), file_(std::fopen(path_.string().c_str(), "w+b")) {
    if (file_ == nullptr) throw std::runtime_error("cannot create " + path_.string());
}

TempFile::~TempFile() {
    std::fclose(file_);
    std::error_code ignored;
    fs::remove(path_, ignored);
}

CapturedConsole::CapturedConsole() : saved_(consoleTargets()) {
    consoleTargets().progress = progress_.get();
    consoleTargets().error = error_.get();
}

CapturedConsole::~CapturedConsole() { consoleTargets() = saved_; }

std::string CapturedConsole::contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    std::fseek(file, 0, SEEK_END);
    return text;
}

Bytes patterned(std::size_t length, uint8_t seed) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 8));
    return bytes;
}

std::set<std::string> filesHere() {
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(fs::current_path())) names.insert(item.path().filename().string());
    return names;
}

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readText(const fs::path& path) {
    const Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeText(const fs::path& path, const std::string& text) { writeBytes(path, Bytes(text.begin(), text.end())); }
