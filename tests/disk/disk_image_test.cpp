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
                ? std::vector<std::pair<std::size_t, std::size_t>>{{0, 4}, {0x90, 0xA4}, {0xA5, 0x100}}
                : std::vector<std::pair<std::size_t, std::size_t>>{
                      {0, 24}, {25, 256}, {256, 260}, {262, 272}, {512, 516}, {518, 528}};
        EXPECT_EQ(ours.image[header + (format == DiskFormat::D64 ? 0xA4 : 0x18)], 0xA0) << "between ID and DOS type";
        for (const auto& [from, to] : spans) {
            EXPECT_EQ(Bytes(ours.image.begin() + header + from, ours.image.begin() + header + to),
                Bytes(theirs.begin() + header + from, theirs.begin() + header + to))
                << from;
        }
        // A disk's header is told by what every writer puts there (cc1541 leaves the DOS type out of an
        // image it cuts short): the link to the directory and the DOS version.
        Bytes signed_(theirs.begin() + header, theirs.begin() + header + 256);
        signed_[format == DiskFormat::D64 ? 0xA6 : 26] = 0xA0;
        EXPECT_TRUE(isDiskHeader(format, signed_.data()));
        for (const std::size_t at : {0, 1, 2}) {
            Bytes unsigned_ = signed_;
            unsigned_[at] ^= 0x01;
            EXPECT_FALSE(isDiskHeader(format, unsigned_.data())) << at;
        }
    }
}

TEST(DiskImage, ShapesBySize) {
    // size, then what it is: format, tracks, error bytes, whole; or none (a size no disk image has)
    const std::vector<std::pair<int64_t, const char*>> sizes{{174848, "d64 35 whole"}, {175531, "d64 35 errors whole"},
        {196608, "d64 40 whole"}, {197376, "d64 40 errors whole"}, {819200, "d81 80 whole"},
        {822400, "d81 80 errors whole"}, {9360, "d64 35 cut"}, {174849, "d64 35 errors cut"}, {175532, "d64 40 cut"},
        {196609, "d64 40 errors cut"}, {197377, "d81 80 cut"}, {819201, "d81 80 errors cut"}, {9359, "none"},
        {822401, "none"}};
    for (const auto& [size, expected] : sizes) {
        DiskShape shape;
        std::string told = "none";
        if (diskShapeOf(size, 9359, shape)) {
            told = std::string(shape.format == DiskFormat::D64 ? "d64 " : "d81 ") + std::to_string(shape.tracks) +
                   (shape.errorBytes ? " errors" : "") + (shape.whole ? " whole" : " cut");
        }
        EXPECT_EQ(told, expected) << size;
        if (told != "none" && shape.whole) {
            EXPECT_EQ(diskShapeSize(shape), size);
        }
    }
}

TEST(DiskImage, FilesLieWhereTheDrivesDosPutsThem) {
    // A file starts on the track nearest the directory's with a sector free (17, then 19, 16, 20, ...) at its
    // first free sector; each next sector is the interleave on (10 on a .d64), or the next free one after it;
    // from a full track the file goes on to the next one away from the directory, at its sector 0.
    DiskWriter disk = formatDisk(DiskFormat::D64, "GOLDEN", "GD");
    const std::vector<std::pair<long, std::string>> files{{5, "17/0 17/10 17/20 17/9 17/19"},
        {30, "17/1 17/11 17/2 17/12 17/3 17/13 17/4 17/14 17/5 17/15 17/6 17/16 17/7 17/17 17/8 17/18 16/0 16/10 16/20 "
             "16/9 16/19 16/8 16/18 16/7 16/17 16/6 16/16 16/5 16/15 16/4"},
        {3, "19/0 19/10 19/1"}};
    for (const auto& [blocks, chain] : files) {
        const Bytes data(static_cast<std::size_t>(blocks) * 254, 7);
        addFile(disk, "F" + std::to_string(blocks), data.data(), data.size());
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const uint8_t* entry = disk.image.data() + sectorOffset(DiskFormat::D64, 18, 1) + 32 * i;
        std::string walked;
        for (int track = entry[3], sector = entry[4]; track != 0;) {
            walked += (walked.empty() ? "" : " ") + std::to_string(track) + "/" + std::to_string(sector);
            const uint8_t* bytes = disk.image.data() + sectorOffset(DiskFormat::D64, track, sector);
            track = bytes[0];
            sector = bytes[1];
        }
        EXPECT_EQ(walked, files[i].second) << files[i].first << " blocks";
    }
}

TEST(DiskImage, TheDirectoryGrowsAsTheDrivesDosGrowsIt) {
    // Eight entries to a sector; the next sector of the directory is 3 on (1541) or the next one (1581).
    for (const auto& [format, track, chain] :
        {std::tuple{DiskFormat::D64, 18, "18/1 18/4 18/7"}, std::tuple{DiskFormat::D81, 40, "40/3 40/4 40/5"}}) {
        DiskWriter disk = formatDisk(format, "DIRECTORY", "DI");
        const Bytes data(10, 7);
        for (int i = 0; i < 17; ++i) addFile(disk, "F" + std::to_string(i), data.data(), data.size());
        std::string walked;
        for (int t = track, sector = geometryOf(format).firstDirectorySector; t != 0;) {
            walked += (walked.empty() ? "" : " ") + std::to_string(t) + "/" + std::to_string(sector);
            const uint8_t* bytes = disk.image.data() + sectorOffset(format, t, sector);
            t = bytes[0];
            sector = bytes[1];
        }
        EXPECT_EQ(walked, chain);
        EXPECT_EQ(sectorsOnTrack(format, 0), 0);
        EXPECT_EQ(sectorsOnTrack(format, format == DiskFormat::D64 ? kD64LongTracks + 1 : 81), 0);
    }
}
