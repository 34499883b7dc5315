// Disk images against cc1541: the reader takes back, byte for byte, the
// files cc1541 writes (one of a byte, one ending at a sector's end, one of
// more than 255 blocks), and a freshly formatted disk has the header and
// BAM sectors cc1541 formats; an image cut short is told by its full header.
#include <cctype>
#include <gtest/gtest.h>

#include "disk/disk_reader.h"
#include "disk/disk_writer.h"
#include "support/test_support.h"

TEST(DiskImage, ReadsWhatCc1541WritesAndFormatsAsItDoes) {
#ifdef _WIN32
    GTEST_SKIP() << "cc1541 is a host tool";
#endif
    const Files files{{"one", {7}}, {"sector", Bytes(254, 1)}, {"more", Bytes(255, 2)}, {"large", Bytes(70000, 3)}};
    for (const DiskFormat format : {DiskFormat::D64, DiskFormat::D81}) {
        ScratchDir dir;
        writeFiles(files);
        const std::string image = format == DiskFormat::D64 ? "theirs.d64" : "theirs.d81";
        std::vector<std::string> args{"-n", "quillmore", "-i", format == DiskFormat::D64 ? "qm 2a" : "qm 3d"};
        for (const auto& [name, bytes] : files) args.insert(args.end(), {"-f", name, "-w", name});
        args.push_back(image);
        const RunResult made = runProgram("cc1541", args);
        ASSERT_EQ(made.status, 0) << made.err;
        const Bytes theirs = readBytes(image);
        const DiskReport report = readDiskImage(theirs.data(), theirs.size(), format);
        EXPECT_EQ(report.damage, std::vector<std::string>{});
        EXPECT_EQ(report.blocksFree, (format == DiskFormat::D64 ? 664 : 3160) - (1 + 1 + 2 + 276));
        Files read;
        for (const DiskFile& file : report.files) {
            std::string name = file.name;
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            read[name] = file.data;
            EXPECT_EQ(file.blocks, static_cast<long>((file.data.size() + 253) / 254)) << name;
        }
        EXPECT_TRUE(read == files);

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
