// Shared test helpers: a fresh working directory per test, file bytes, blocks
// with a chosen CRC-16, loader records built by hand, and the built tools run
// as a user runs them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Files = std::map<std::string, Bytes>;  // a directory: file name -> bytes

// Makes a fresh temporary directory the current one (the tools use fixed
// names there) while it lives; removes it afterwards.
struct ScratchDir {
    ScratchDir();
    ~ScratchDir();
    std::filesystem::path previous, path;
};

Bytes readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes text(const std::string& s);
// Returns: text with each ' made a ", so that JSON is written as it reads.
std::string json(std::string text);
// Returns: whether part occurs in text (for EXPECT_PRED2, which shows both).
bool contains(const std::string& text, const std::string& part);
Bytes concat(std::initializer_list<Bytes> parts);

// Writes every file into the current directory.
void writeFiles(const Files& files);
// Makes name a FIFO where the system has them (a reader would block on it), else a folder.
void makeFifoOrFolder(const char* name);
// Returns: the regular files of the current directory (links followed).
Files filesHere();

// Returns: an 8192-byte block, never blank, patterned from seed, with CRC-16 target.
Bytes forgedBlock(uint16_t target, uint8_t seed);
// Sets the last two bytes of data so that its CRC-16 is target.
void forgeCrc(Bytes& data, uint16_t target);

// Returns: payload as loader records from start, worked out from the format,
// not from the tool's writer.
Bytes recordsOf(uint16_t start, const Bytes& payload);

// The flasher the tests use: load address 0300, body AA BB.
extern const Bytes kFlasher;
// Blocks of the default catalogue (and one unknown to it), by their banks.
extern const Bytes kSpeedDos;   // d3da: banks 0b and 18
extern const Bytes kQuickDos;   // 40e2: bank 24
extern const Bytes kImprLorom;  // f071: banks 00 and 21
extern const Bytes kUnknown;    // 1a2b
// Returns: the bank loader file for bank and block with kFlasher, as the drive's flasher receives it.
Bytes bankFile(int bank, const Bytes& block);
// Returns: a 512 KB flash image, all 0xFF but for these slots.
Bytes imageWith(const std::map<int, Bytes>& slots);
// Returns: crc.ini as the tool writes it when there is none: the built-in table, a line feed after each line.
Bytes defaultCatalogueFile();

struct RunResult {
    int status = -1;
    std::string out, err;
};
// A run is what was expected when status and both channels are, byte for byte; gtest shows all three.
bool operator==(const RunResult& run, const RunResult& expected);
void PrintTo(const RunResult& run, std::ostream* os);

// Runs the built tools in the current directory (arguments without double
// quotes); before is shell text run first in the same process, as
// "ulimit -f 8; trap '' XFSZ;" to limit the size of the files it writes;
// after is redirections after the captures, as ">&-" to close stdout.
RunResult runFlashtool(
    const std::vector<std::string>& args, const std::string& before = "", const std::string& after = "");
RunResult runFlashinfo(const std::vector<std::string>& args, const std::string& after = "");
RunResult runFlashdisk(
    const std::vector<std::string>& args, const std::string& before = "", const std::string& after = "");
// Runs program with args as the runs above do.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& before = "",
    const std::string& after = "");
// Runs shell text in the current directory, its output captured (then after).
RunResult runCommand(const std::string& shellText, const std::string& after = "");
