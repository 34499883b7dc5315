// Shared test helpers.
#include "support/test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

#include "catalogue/default_catalogue.h"
#include "rom/crc16.h"
#include "support/json_check.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

ScratchDir::ScratchDir() : previous(fs::current_path()) {
    static std::mt19937_64 random{std::random_device{}()};
    path = fs::temp_directory_path() / ("flashtool-test-" + std::to_string(random()));
    fs::create_directory(path);
    fs::current_path(path);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(path, ignored);
}

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string json(std::string text) {
    std::replace(text.begin(), text.end(), '\'', '"');
    return text;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

void writeFiles(const Files& files) {
    for (const auto& [name, bytes] : files) writeBytes(name, bytes);
}

void makeFifoOrFolder(const char* name) {
#ifdef _WIN32
    fs::create_directory(name);
#else
    mkfifo(name, 0600);
#endif
}

Files filesHere() {
    Files files;
    for (const auto& item : fs::directory_iterator(".")) {
        std::error_code linkLoop;
        if (item.is_regular_file(linkLoop)) files[item.path().filename().string()] = readBytes(item.path());
    }
    return files;
}

void forgeCrc(Bytes& data, uint16_t target) {
    // Two bytes at the end of the data are added to the remainder unchanged.
    const std::size_t n = data.size();
    data[n - 2] = data[n - 1] = 0;
    const auto tail = static_cast<uint16_t>(crc16Block(data.data(), static_cast<uint16_t>(n)) ^ target);
    data[n - 2] = static_cast<uint8_t>(tail >> 8);
    data[n - 1] = static_cast<uint8_t>(tail & 0xFF);
}

Bytes forgedBlock(uint16_t target, uint8_t seed) {
    Bytes block(8192);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(seed + i * 3 + (i >> 8));
    forgeCrc(block, target);
    return block;
}

Bytes recordsOf(uint16_t start, const Bytes& payload) {
    Bytes out;
    for (std::size_t at = 0; at < payload.size(); at += 256) {
        const std::size_t n = std::min<std::size_t>(256, payload.size() - at);
        const auto address = static_cast<uint16_t>(start + at);
        Bytes record{static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(n)};
        record.insert(record.end(), payload.begin() + at, payload.begin() + at + n);
        unsigned total = 0;  // the end-around-carry sum is the byte total folded into 1..255 (0 only for 0)
        for (uint8_t byte : record) total += byte;
        record.push_back(static_cast<uint8_t>(total == 0 ? 0 : (total - 1) % 255 + 1));
        out.insert(out.end(), record.begin(), record.end());
    }
    return out;
}

const Bytes kFlasher{0x00, 0x03, 0xAA, 0xBB};
const Bytes kSpeedDos = forgedBlock(0xD3DA, 1);
const Bytes kQuickDos = forgedBlock(0x40E2, 2);
const Bytes kImprLorom = forgedBlock(0xF071, 3);
const Bytes kUnknown = forgedBlock(0x1A2B, 4);

Bytes bankFile(int bank, const Bytes& block) {
    return concat({recordsOf(0x0300, {0xAA, 0xBB, static_cast<uint8_t>(bank)}), recordsOf(0x4000, block)});
}

Bytes imageWith(const std::map<int, Bytes>& slots) {
    Bytes image(524288, 0xFF);
    for (const auto& [bank, block] : slots) std::copy(block.begin(), block.end(), image.begin() + bank * 8192);
    return image;
}

Bytes defaultCatalogueFile() {
    std::string file;
    for (const char* line : kDefaultCatalogue) file += std::string(line) + "\n";
    return text(file);
}

bool operator==(const RunResult& run, const RunResult& expected) {
    return run.status == expected.status && run.out == expected.out && run.err == expected.err;
}

void PrintTo(const RunResult& run, std::ostream* os) {
    *os << "status " << run.status << ", out " << testing::PrintToString(run.out) << ", err "
        << testing::PrintToString(run.err);
}

namespace {

std::string readCapture(const std::string& path) {
    const Bytes bytes = readBytes(path);
    std::string text(bytes.begin(), bytes.end());
    fs::remove(path);
#ifdef _WIN32
    // The console streams are in text mode there: fold CR LF to LF.
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
#endif
    return text;
}

}  // namespace

RunResult runCommand(const std::string& shellText, const std::string& after) {
    // Captures go beside the working directory, never into it.
    const std::string capture = fs::current_path().string();
    std::string command = shellText + " >\"" + capture + ".out\" 2>\"" + capture + ".err\"" + after;
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd /c strips one pair of outer quotes
    const int status = std::system(command.c_str());
#else
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
    return {status, readCapture(capture + ".out"), readCapture(capture + ".err")};
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& before,
    const std::string& after) {
    std::string command = before + "\"" + program + "\"";
    for (const std::string& arg : args) command += " \"" + arg + "\"";
    return runCommand(command, after);
}

RunResult runFlashtool(const std::vector<std::string>& args, const std::string& before, const std::string& after) {
    return runProgram(FLASHTOOL_EXE, args, before, after);
}

RunResult runFlashinfo(const std::vector<std::string>& args, const std::string& after) {
    const RunResult run = runProgram(FLASHINFO_EXE, args, "", after);
    // Every JSON report is read as JSON and held against the tables of the same run.
    if (after.empty() && std::find(args.begin(), args.end(), "--json") != args.end()) {
        std::vector<std::string> tableArgs;
        std::copy_if(args.begin(), args.end(), std::back_inserter(tableArgs),
            [](const std::string& arg) { return arg != "--json"; });
        checkJsonAgainstTable(run, runProgram(FLASHINFO_EXE, tableArgs, "", after));
    }
    return run;
}

RunResult runFlashdisk(const std::vector<std::string>& args, const std::string& before, const std::string& after) {
    return runProgram(FLASHDISK_EXE, args, before, after);
}
