// Fuzz target: disk images as the drive's DOS would never leave them. A
// freshly written image (a .d64 or a .d81, with files on it) is damaged by
// the input, as patches of 3-byte offset and a byte, and may be cut short;
// the reader must name what it finds in bounded time and never read past
// the image.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "disk/disk_reader.h"
#include "disk/disk_writer.h"

namespace {

DiskWriter written(DiskFormat format) {
    DiskWriter disk = formatDisk(format, "FUZZ", "FZ");
    const std::vector<uint8_t> small(300, 1), large(9000, 2);
    addFile(disk, "SMALL", small.data(), small.size());
    addFile(disk, "LARGE", large.data(), large.size());
    addFile(disk, "EMPTY", nullptr, 0);
    return disk;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const DiskWriter d64 = written(DiskFormat::D64), d81 = written(DiskFormat::D81);
    if (size < 2) return 0;
    const DiskWriter& disk = (data[0] & 1) != 0 ? d81 : d64;
    std::vector<uint8_t> image = disk.image;
    if ((data[0] & 2) != 0) image.resize(image.size() * data[1] / 256);  // cut short
    for (std::size_t at = 2; at + 4 <= size && !image.empty(); at += 4) {
        const std::size_t offset = (data[at] | data[at + 1] << 8 | static_cast<std::size_t>(data[at + 2]) << 16);
        image[offset % image.size()] = data[at + 3];
    }
    DiskShape shape;
    if (!diskShapeOf(static_cast<int64_t>(image.size()), 0, shape)) return 0;
    const DiskReport report = readDiskImage(image.data(), image.size(), shape);
    std::size_t read = 0;
    for (const DiskFile& file : report.files) read += file.data.size();
    if (read > image.size()) __builtin_trap();  // every sector is read once at most
    if (report.damage.empty() && image == disk.image && report.files.size() != 3) __builtin_trap();
    return 0;
}
