// Giving an output its name without replacing: a file that took the name
// meanwhile is kept, and no temporary file is left either way.
#include <gtest/gtest.h>

#include "base/files.h"
#include "support/test_support.h"

TEST(Files, NamingWithoutReplacingKeepsAFileThatTookTheName) {
    for (const bool taken : {false, true}) {
        ScratchDir dir;
        ReplacedFile file;
        ASSERT_TRUE(beginReplace("out", SparedFiles{}, file));
        (void)std::fputs("new", file.stream.get());
        if (taken) writeBytes("out", text("earlier"));
        EXPECT_EQ(commitWithoutReplacing(file), !taken);
        EXPECT_EQ(filesHere(), (Files{{"out", text(taken ? "earlier" : "new")}})) << taken;
    }
}
