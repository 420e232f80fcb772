// SPDX-License-Identifier: GPL-2.0-or-later
#include "FakeFileDialogs.h"

#include "platform/FileDialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tessaranth::test {
namespace {

TEST(FileDialogs, WithoutAHandlerEveryRequestIsCancelled) {
    char path[16];
    std::memset(path, 'x', sizeof path);
    EXPECT_FALSE(platform::chooseOpenFile("Open", "All (*.*)|*.*", ".tzn", path, sizeof path));
    EXPECT_STREQ(path, "");
    EXPECT_FALSE(platform::chooseSaveFile("Save", "All (*.*)|*.*", ".tzn", path, sizeof path));
    EXPECT_STREQ(path, "");
}

TEST(FileDialogs, HandlerSeesTheRequestAndItsAnswerIsPassedOn) {
    FakeFileDialogs dialogs;
    dialogs.choose("/tmp/a.tzn");
    char path[64];
    ASSERT_TRUE(platform::chooseSaveFile("Save it", "T (*.tzn)|*.tzn", ".tzn", path, sizeof path));
    EXPECT_STREQ(path, "/tmp/a.tzn");
    ASSERT_TRUE(platform::chooseOpenFile("Load it", "T (*.tzn)|*.tzn", ".tzn", path, sizeof path));
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].kind, platform::FileDialogKind::save);
    EXPECT_EQ(dialogs.requests[0].title, "Save it");
    EXPECT_EQ(dialogs.requests[1].kind, platform::FileDialogKind::open);
    EXPECT_EQ(dialogs.requests[1].filter, "T (*.tzn)|*.tzn");
    EXPECT_EQ(dialogs.requests[1].defaultExtension, ".tzn");
}

TEST(FileDialogs, CancelAnEmptyAnswerAndAPathThatDoesNotFitAllCountAsCancelled) {
    FakeFileDialogs dialogs;
    char path[8];
    EXPECT_FALSE(platform::chooseOpenFile("t", "f", ".tzn", path, sizeof path));
    dialogs.choose("");
    EXPECT_FALSE(platform::chooseOpenFile("t", "f", ".tzn", path, sizeof path));
    dialogs.choose("/tmp/long.tzn");  // fills all 8 bytes without a terminator
    EXPECT_FALSE(platform::chooseOpenFile("t", "f", ".tzn", path, sizeof path));
    EXPECT_STREQ(path, "");
    dialogs.choose("/a.tzn");  // 6 characters and the terminator fit
    EXPECT_TRUE(platform::chooseOpenFile("t", "f", ".tzn", path, sizeof path));
    EXPECT_FALSE(platform::chooseOpenFile("t", "f", ".tzn", nullptr, 8));
    EXPECT_FALSE(platform::chooseOpenFile("t", "f", ".tzn", path, 0));
}

TEST(FileDialogs, RemovingTheHandlerRestoresCancel) {
    {
        FakeFileDialogs dialogs;
        dialogs.choose("/tmp/b.tzn");
    }
    char path[32];
    EXPECT_FALSE(platform::chooseOpenFile("t", "f", ".tzn", path, sizeof path));
}

} // namespace
} // namespace tessaranth::test
