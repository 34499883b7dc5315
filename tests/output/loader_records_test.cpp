// Loader records: hand-worked streams, record cutting, and what a receiver reads back.
#include <gtest/gtest.h>

#include <string>

#include "output/loader_records.h"
#include "output/loader_decoder.h"
#include "support/test_support.h"

namespace {

Bytes recordsFor(uint16_t start, const Bytes& payload, int verbosity = 0, std::string* progressText = nullptr) {
    Bytes buffer{static_cast<uint8_t>(start & 0xFF), static_cast<uint8_t>(start >> 8)};
    buffer.insert(buffer.end(), payload.begin(), payload.end());
    RunSettings settings;
    settings.verbosity = verbosity;
    CapturedConsole console;
    TempFile stream;
    EXPECT_EQ(writeLoaderRecords(settings, buffer.data(), buffer.size(), stream.get()), 0);
    std::rewind(stream.get());
    Bytes written;
    for (int c; (c = std::fgetc(stream.get())) != EOF;) written.push_back(static_cast<uint8_t>(c));
    if (progressText != nullptr) *progressText = console.progress();
    return written;
}

}  // namespace

TEST(LoaderRecords, HandWorkedStreams) {
    const struct { uint16_t start; Bytes payload; Bytes expected; } cases[] = {
        {0x0500, {0x01, 0x02, 0x03}, {0x00, 0x05, 0x03, 0x01, 0x02, 0x03, 0x0E}},
        {0xFFFF, {0xFF}, {0xFF, 0xFF, 0x01, 0xFF, 0x01}},
        {0x0300, {0xAA, 0xBB, 0x0B}, {0x00, 0x03, 0x03, 0xAA, 0xBB, 0x0B, 0x77}},
        {0x0300, {0xAA, 0xBB, 0x18}, {0x00, 0x03, 0x03, 0xAA, 0xBB, 0x18, 0x84}},
        {0x1234, {}, {}},
        {0x0000, {0x00}, {0x00, 0x00, 0x01, 0x00, 0x01}},
    };
    for (const auto& c : cases) EXPECT_EQ(recordsFor(c.start, c.payload), c.expected) << std::hex << c.start;
}

TEST(LoaderRecords, CutsIntoRecordsThatDecodeBack) {
    const struct { uint16_t start; std::size_t length; std::vector<std::size_t> records; std::vector<uint16_t> starts; } cases[] = {
        {0x4000, 8192, std::vector<std::size_t>(32, 256), {0x4000}},
        {0x0801, 257, {256, 1}, {0x0801}},
        {0x0801, 1023, {256, 256, 256, 255}, {0x0801}},
        {0xFF80, 512, {256, 256}, {0xFF80}},  // the second record's address wraps to 0x0080
        {0x1000, 65535, std::vector<std::size_t>(255, 256), {0x1000}},
    };
    for (const auto& c : cases) {
        const Bytes payload = patterned(c.length, 3);
        const Bytes written = recordsFor(c.start, payload);
        EXPECT_EQ(written.size(), c.length + 4 * ((c.length + 255) / 256));
        const DecodedRecords decoded = decodeLoaderRecords(written.data(), written.size());
        ASSERT_EQ(decoded.fault, kDecodeOk) << c.length;
        ASSERT_EQ(decoded.streams.size(), 1u) << c.length;
        EXPECT_EQ(decoded.streams[0].start, c.start);
        EXPECT_EQ(decoded.streams[0].payload, payload);
        std::vector<std::size_t> lengths = decoded.streams[0].recordLengths;
        lengths.resize(std::min(lengths.size(), c.records.size()));
        EXPECT_EQ(lengths, c.records) << c.length;
    }
    // The wrapped address is stored as 0x0080, not 0x10080 cut some other way.
    const Bytes wrapped = recordsFor(0xFF80, patterned(512, 3));
    EXPECT_EQ(wrapped[260], 0x80);
    EXPECT_EQ(wrapped[261], 0x00);
}

TEST(LoaderRecords, ProgressLines) {
    std::string text;
    recordsFor(0x0500, {0x01, 0x02, 0x03}, 3, &text);
    EXPECT_EQ(text, "------ writing buffer ------\nsize: 3\nstart-adr: 0500\n"
                    "Blk 1: adr=0500; size=003; checksum=0e\n");
    recordsFor(0xFFFF, Bytes(300, 0x00), 3, &text);
    EXPECT_EQ(text, "------ writing buffer ------\nsize: 12c\nstart-adr: ffff\n"
                    "Blk 1: adr=ffff; size=100; checksum=ff\n"
                    "Blk 2: adr=00ff; size=02c; checksum=2c\n");
    recordsFor(0xFFFF, Bytes(300, 0x00), 2, &text);
    EXPECT_EQ(text, "------ writing buffer ------\nsize: 12c\nstart-adr: ffff\n");
    recordsFor(0x1234, {}, 2, &text);
    EXPECT_EQ(text, "------ writing buffer ------\nsize: 0\nstart-adr: 1234\n");
}

