// An output whose file system keeps no access list it is given: the group
// bits of its mode are narrowed to what the replaced file's list gave its
// group, so that no one gains access.
#include "base/files.h"

#include <filesystem>
#include <gtest/gtest.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

#include "support/test_support.h"

TEST(Files, ALostAccessListGivesTheGroupNoMoreThanItHad) {
#ifndef __linux__
    GTEST_SKIP() << "POSIX access lists are Linux's";
#else
    ScratchDir dir;
    writeBytes("out.bin", {1});
    std::filesystem::permissions("out.bin", std::filesystem::perms(0660));
    // user::rw- user:4321:rw- group::r-- mask::rw- other::---: the mode's group bits (rw) are the mask's
    const Bytes list{2, 0, 0, 0, 1, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 6, 0, 0xE1, 0x10, 0, 0, 4, 0, 4, 0, 0xFF,
        0xFF, 0xFF, 0xFF, 0x10, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    const char* key = "system.posix_acl_access";
    if (setxattr("out.bin", key, list.data(), list.size(), 0) != 0) GTEST_SKIP() << "no access lists here";
    fileSeams().refuseAccessLists = true;
    ReplacedFile file;
    ASSERT_TRUE(beginReplace("out.bin", SparedFiles{}, file));
    (void)std::fputc(2, file.stream.get());
    EXPECT_EQ(commitReplace(file), CommitStatus::Committed);
    fileSeams() = FileSeams();
    EXPECT_EQ(readBytes("out.bin"), Bytes{2});
    EXPECT_EQ(std::filesystem::status("out.bin").permissions(), std::filesystem::perms(0640));
#endif
}
