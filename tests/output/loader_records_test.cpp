// Loader records: streams worked out by hand, and the cut into records.
#include <gtest/gtest.h>

#include "base/files.h"
#include "output/loader_records.h"
#include "support/test_support.h"

namespace {

Bytes written(uint16_t start, const Bytes& payload) {
    ScratchDir dir;
    const Bytes buffer = concat({{static_cast<uint8_t>(start & 0xFF), static_cast<uint8_t>(start >> 8)}, payload});
    FilePtr file(std::fopen("records", "wb"));
    EXPECT_EQ(writeLoaderRecords(0, buffer.data(), buffer.size(), file.get()), 0);
    file.reset();
    return readBytes("records");
}

}  // namespace

TEST(LoaderRecords, HandWorkedStreamsAndRecordCuts) {
    EXPECT_EQ(written(0x0500, {0x01, 0x02, 0x03}), (Bytes{0x00, 0x05, 0x03, 0x01, 0x02, 0x03, 0x0E}));
    EXPECT_EQ(written(0xFFFF, {0xFF}), (Bytes{0xFF, 0xFF, 0x01, 0xFF, 0x01}));  // every addition carries
    EXPECT_EQ(written(0x1234, {}), Bytes{});
    const Bytes payload = concat({forgedBlock(1, 1), Bytes(65535 - 8192, 0x5A)});
    EXPECT_EQ(written(0xFF80, payload), recordsOf(0xFF80, payload));  // 256 records, addresses wrapping past ffff
}
