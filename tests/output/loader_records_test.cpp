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
    for (std::size_t length : {256u, 257u, 1023u, 65535u}) {
        Bytes payload(length);
        for (std::size_t i = 0; i < length; ++i) payload[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
        EXPECT_EQ(written(0xFF80, payload), recordsOf(0xFF80, payload)) << length;  // addresses wrap past ffff
    }
}
