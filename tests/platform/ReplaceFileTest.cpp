// SPDX-License-Identifier: GPL-2.0-or-later
// The temporary files of crash-safe saving: what a killed save leaves is removed by the next
// save of the same file, and nothing else is.
#include "SaveFolders.h"

#include "platform/Errors.h"
#include "platform/ReplaceFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaranth::test {
namespace {

using namespace platform;

// A process number that no process has now: a child's, once it has ended.
unsigned long endedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return static_cast<unsigned long>(child);
}

TEST(TemporaryNames, AreRecognisedOnlyAsTheSaveOfTheirTargetNamesThem) {
    const std::string target = "/settings/a.tzn";
    unsigned long process = 0;
    EXPECT_TRUE(isTemporaryNameFor(target, "a.tzn.4711-12.tmp", NAME_MAX, PATH_MAX - 1, process));
    EXPECT_EQ(process, 4711u);
    for (const char* other : {"a.tzn", "b.tzn.4711-12.tmp", "a.tzn.4711-12.tmp~", "a.tzn.4711.tmp", "a.tzn.-12.tmp",
                              "a.tzn.04711-12.tmp", "a.tzn.4711-+12.tmp", "a.tzn.x-12.tmp", ".tmp", "a.tzn.4711-12.tmp.tmp",
                              "a.tzn.99999999999999999999999-1.tmp"})
        EXPECT_FALSE(isTemporaryNameFor(target, other, NAME_MAX, PATH_MAX - 1, process)) << other;
    // A target whose name is cut to make room for the ending.
    const std::string longTarget = "/settings/" + std::string(NAME_MAX, 'n');
    const std::string cut = temporaryPathFor(longTarget, 5, 6, NAME_MAX, PATH_MAX - 1);
    EXPECT_TRUE(isTemporaryNameFor(longTarget, cut.substr(cut.rfind('/') + 1), NAME_MAX, PATH_MAX - 1, process));
    EXPECT_EQ(process, 5u);
}

TEST(ReplaceFile, TheNextSaveRemovesWhatEndedSavesLeftAndNothingElse) {
    const SaveFolder place(Medium::disk);
    ASSERT_EQ(place.problem(), "");
    const std::string folder = place.path();
    const std::string target = folder + "/a.tzn";
    const auto name = [&](unsigned long process, unsigned long serial) {
        return temporaryPathFor(target, process, serial, NAME_MAX, PATH_MAX - 1);
    };
    const std::string ended = name(endedProcess(), 3);
    const std::string running = name(static_cast<unsigned long>(getpid()), 4);  // of a save still under way
    const std::string otherTarget = temporaryPathFor(folder + "/b.tzn", endedProcess(), 5, NAME_MAX, PATH_MAX - 1);
    const std::string unrelated = folder + "/a.tzn.notes.tmp";
    for (const std::string& path : {ended, running, otherTarget, unrelated}) std::ofstream(path) << "left";

    for (const bool named : {false, true}) {
        const UnnamedFiles files(!named);
        ASSERT_EQ(replaceFile(target.c_str(), "new", 3), errorSuccess);
        EXPECT_EQ(readFile(target), "new");
        std::vector<std::string> left = otherFiles(folder, {"a.tzn"});
        std::sort(left.begin(), left.end());
        const auto nameOf = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
        std::vector<std::string> expected{nameOf(running), nameOf(otherTarget), nameOf(unrelated)};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(left, expected) << (named ? "named" : "unnamed");
    }
}

} // namespace
} // namespace tessaranth::test
