// Benchmarks: CRC-16 over a block, the record writer over a bank loader
// file's payloads, and a whole all-banks run with -t -b.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/flash_geometry.h"
#include "output/loader_records.h"
#include "rom/crc16.h"
#include "run/run_sequence.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> patterned(std::size_t length) {
    std::vector<uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 131 + (i >> 7));
    return bytes;
}

// Returns: false when the file could not be written in full.
bool writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void BM_Crc16Block(benchmark::State& state) {
    const std::vector<uint8_t> block = patterned(8192);
    for (auto _ : state) benchmark::DoNotOptimize(crc16Block(block.data(), 8192));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 8192);
}
BENCHMARK(BM_Crc16Block);

// The two payloads of one bank loader file: a 1024-byte flasher with its
// bank byte, then the 8 KB block; written to a memory-backed temporary file.
void BM_BankLoaderRecords(benchmark::State& state) {
    const std::vector<uint8_t> flasher = patterned(1025);
    const std::vector<uint8_t> block = patterned(kBlockBufferSize);
    std::FILE* sink = std::tmpfile();
    if (sink == nullptr) {
        state.SkipWithError("no temporary file");
        return;
    }
    for (auto _ : state) {
        std::rewind(sink);
        writeLoaderRecords(0, flasher.data(), flasher.size(), sink);
        writeLoaderRecords(0, block.data(), block.size(), sink);
    }
    std::fclose(sink);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (1023 + 8192));
}
BENCHMARK(BM_BankLoaderRecords);

// quillmore-flashtool -a -t -b -v0 over 35 files of 8 KB plus a load address.
// The catalogue written here names one bank per file, so every file gives a
// block file, a bank loader file and an image slot.
void BM_AllBanksRun(benchmark::State& state) {
    const fs::path previous = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / "flashtool-bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
    bool written = writeFile("fcFlash.prg", patterned(1024));
    std::string catalogue;
    for (int n = 0; n <= 0x22; ++n) {
        std::vector<uint8_t> rom = patterned(8194);
        rom[2] = static_cast<uint8_t>(n);
        char name[32];
        std::snprintf(name, sizeof name, "memFlashBank_%02x.bin", n);
        written = writeFile(name, rom) && written;
        char line[64];
        std::snprintf(line, sizeof line, "%04x; %02x; bench ROM %d\n", crc16Block(rom.data() + 2, kBlockSize), n, n);
        catalogue += line;
    }
    written = writeFile("crc.ini", std::vector<uint8_t>(catalogue.begin(), catalogue.end())) && written;
    std::FILE* quiet = std::tmpfile();
    if (!written || quiet == nullptr) {
        state.SkipWithError("cannot write the bench files");
        fs::current_path(previous);
        return;
    }
    const ConsoleTargets saved = consoleTargets();
    consoleTargets().progress = quiet;
    const char* argv[] = {"quillmore-flashtool", "-a", "-t", "-b", "-v0"};
    for (auto _ : state) {
        if (runTool(5, argv) != static_cast<int>(ToolExit::Ok)) state.SkipWithError("run failed");
        std::rewind(quiet);
    }
    consoleTargets() = saved;
    std::fclose(quiet);
    fs::current_path(previous);
    fs::remove_all(dir);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 35 * 8192);
}
BENCHMARK(BM_AllBanksRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
