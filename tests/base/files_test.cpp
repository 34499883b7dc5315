// Giving an output its name without replacing: a file that took the name
// meanwhile is kept, with hard links or without, and no temporary file is
// left either way.
#include "base/files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(Files, NamingWithoutReplacingKeepsAFileThatTookTheName) {
    for (const bool noHardLinks : {false, true}) {
        for (const bool taken : {false, true}) {
            ScratchDir dir;
            fileSeams().refuseHardLinks = noHardLinks;
            if (taken)
                fileSeams().beforeNaming = [](const std::filesystem::path& target) {
                    writeBytes(target, text("earlier"));
                };
            ReplacedFile file;
            ASSERT_TRUE(beginReplace("out", SparedFiles{}, file));
            (void)std::fputs("new", file.stream.get());
            const CommitStatus status = commitWithoutReplacing(file);
            fileSeams() = FileSeams();
            EXPECT_EQ(status, taken ? CommitStatus::NameTaken : CommitStatus::Committed) << noHardLinks << taken;
            EXPECT_EQ(filesHere(), (Files{{"out", text(taken ? "earlier" : "new")}})) << noHardLinks << taken;
        }
    }
}
