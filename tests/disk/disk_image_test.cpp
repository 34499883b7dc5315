// A freshly formatted disk has the header and BAM sectors cc1541 formats, and
// an image cut short is told by its full header (what the reader finds on
// cc1541's images is checked end to end, against ours).
#include <gtest/gtest.h>

#include "disk/disk_reader.h"
#include "disk/disk_writer.h"
#include "support/test_support.h"

TEST(DiskImage, FormatsAsCc1541Does) {
#ifdef _WIN32
    GTEST_SKIP() << "cc1541 is a host tool";
#endif
    for (const DiskFormat format : {DiskFormat::D64, DiskFormat::D81}) {
        ScratchDir dir;
        const std::string image = format == DiskFormat::D64 ? "theirs.d64" : "theirs.d81";
        writeBytes("one", {7});
        const RunResult made = runProgram("cc1541",
            {"-n", "quillmore", "-i", format == DiskFormat::D64 ? "qm 2a" : "qm 3d", "-f", "one", "-w", "one", image});
        ASSERT_EQ(made.status, 0) << made.err;
        const Bytes theirs = readBytes(image);

        // The header sector (and a .d81's two BAM sectors) as cc1541 formats them, but for the allocation
        // maps and the byte between ID and DOS type, which cc1541 takes from its -i text.
        const DiskWriter ours = formatDisk(format, "QUILLMORE", "QM");
        const DiskGeometry& geometry = geometryOf(format);
        const auto header = static_cast<std::size_t>(sectorOffset(format, geometry.directoryTrack, 0));
        const std::vector<std::pair<std::size_t, std::size_t>> spans =
            format == DiskFormat::D64
                ? std::vector<std::pair<std::size_t, std::size_t>>{{0, 4}, {0x90, 0xA4}, {0xA5, 0xAB}}
                : std::vector<std::pair<std::size_t, std::size_t>>{
                      {0, 24}, {25, 29}, {256, 260}, {262, 272}, {512, 516}, {518, 528}};
        for (const auto& [from, to] : spans) {
            EXPECT_EQ(Bytes(ours.image.begin() + header + from, ours.image.begin() + header + to),
                Bytes(theirs.begin() + header + from, theirs.begin() + header + to))
                << from;
        }
        EXPECT_TRUE(isDiskHeader(format, ours.image.data() + header, false)) << "the full signature";
        Bytes unsigned_(ours.image.begin() + header, ours.image.begin() + header + 256);
        unsigned_[format == DiskFormat::D64 ? 0xA6 : 26] = ' ';
        EXPECT_FALSE(isDiskHeader(format, unsigned_.data(), false)) << "an image cut short needs the full signature";
        EXPECT_TRUE(isDiskHeader(format, unsigned_.data(), true));
    }
}
