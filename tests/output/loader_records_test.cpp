// Loader records: streams worked out by hand from the format (the bank loader
// files of the end-to-end tests cover the cut into records of 256).
#include "output/loader_records.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "support/test_support.h"

TEST(LoaderRecords, HandWorkedStreams) {
    ScratchDir dir;
    {
        FilePtr file(std::fopen("records", "wb"));
        for (const Bytes& buffer : {Bytes{0x00, 0x05, 0x01, 0x02, 0x03}, Bytes{0xFF, 0xFF, 0xFF}, Bytes{0x34, 0x12}}) {
            writeLoaderRecords(0, buffer.data(), buffer.size(), file.get());
        }
    }
    // The second stream's every addition carries; the third has no payload.
    EXPECT_EQ(readBytes("records"), (Bytes{0x00, 0x05, 0x03, 0x01, 0x02, 0x03, 0x0E, 0xFF, 0xFF, 0x01, 0xFF, 0x01}));
}
