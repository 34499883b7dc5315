// The floor under an all-banks run (-a -t -b): the files quillmore-flashtool
// reads and writes, each output through a temporary file named into place
// and flash.bin written in place, slot by slot, but nothing more: no
// catalogue lookup, no record writing, no look at what a name is, no
// owner, mode or access list kept. What the tool takes above it is its care.
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> readAll(const char* name) {
    std::vector<unsigned char> bytes;
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) return bytes;
    unsigned char chunk[16384];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + got);
    (void)std::fclose(file);
    return bytes;
}

// Writes bytes to a temporary file beside name and renames it into place. Returns: false when that failed.
bool replace(const std::string& name, const unsigned char* bytes, std::size_t size) {
    const std::string temporary = name + ".tmp-floor";
    std::FILE* file = std::fopen(temporary.c_str(), "wbx");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written && std::rename(temporary.c_str(), name.c_str()) == 0;
}

}  // namespace

int main() {
    const std::vector<unsigned char> flasher = readAll("fcFlash.prg");
    (void)readAll("crc.ini");
    std::FILE* image = std::fopen("flash.bin", "r+b");
    if (image == nullptr) {
        const std::vector<unsigned char> blank(524288, 0xFF);
        if (!replace("flash.bin", blank.data(), blank.size())) return 1;
        image = std::fopen("flash.bin", "r+b");
        if (image == nullptr) return 1;
    }
    (void)std::setvbuf(image, nullptr, _IONBF, 0);
    // A bank loader file's size: the flasher with its bank byte, then the block, as records of 256 bytes.
    const std::size_t loaderSize = (flasher.size() - 1 + 255) / 256 * 4 + flasher.size() - 1 + 32 * 260;
    std::vector<unsigned char> loader(loaderSize, 0x5A);
    bool ok = true;
    for (int n = 0; n <= 0x22; ++n) {
        char name[32];
        (void)std::snprintf(name, sizeof name, "memFlashBank_%02x.bin", n);
        const std::vector<unsigned char> rom = readAll(name);
        if (rom.size() < 8194) continue;
        const unsigned char* block = rom.data() + 2;
        ok = replace("block00.bin", block, 8192) && ok;
        (void)std::snprintf(name, sizeof name, "&flashbank%02x.prg", n);
        ok = replace(name, loader.data(), loader.size()) && ok;
        ok = std::fseek(image, static_cast<long>(n) * 8192, SEEK_SET) == 0 && std::fwrite(block, 8192, 1, image) == 1 &&
             ok;
    }
    return std::fclose(image) == 0 && ok ? 0 : 1;
}
