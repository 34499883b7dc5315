// Shared test helpers.
#include "support/test_support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::string randomSuffix() {
    static std::mt19937_64 random{std::random_device{}()};
    return std::to_string(random());
}

}  // namespace

ScratchDir::ScratchDir() : previous_(fs::current_path()) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("flashtool-test-" + randomSuffix());
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            fs::current_path(path_);
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory");
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

TempFile::TempFile() {
    for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
        path_ = fs::temp_directory_path() / ("flashtool-capture-" + randomSuffix());
        if (!fs::exists(path_)) file_ = std::fopen(path_.string().c_str(), "w+b");
    }
    if (file_ == nullptr) throw std::runtime_error("cannot create a temporary file");
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
