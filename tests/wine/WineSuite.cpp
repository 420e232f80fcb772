// The Windows DLL for real: loaded by a Win32 host under Wine, with the real registry, window
// messages, message boxes and a recording port library.
#include "WineHost.h"

#include <gtest/gtest.h>

namespace tessaranth::test {
namespace {

class WineSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { WineHost::createPrefix(); }
    static void TearDownTestSuite() { WineHost::removePrefix(); }
};

TEST_F(WineSuite, HostLoadsTheRecordsAndRunsACycle) {
    const WineRun run = WineHost::run({"--frames", "3"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.has("exports 1 1 1")) << "winampVisGetHeader, _winampVisGetHeader, tessaranthSetHostServices";
    EXPECT_TRUE(run.has("header 257 Tessaranth v0.9.3 beta"));
    EXPECT_TRUE(run.has("lookup 1 1"));
    EXPECT_TRUE(run.has("module Tessaranth graphical LCD plug-in"));
    EXPECT_EQ(run.after("delay "), (std::vector<std::string>{"40", "60"}));
    EXPECT_TRUE(run.has("init 0"));
    EXPECT_EQ(run.after("render ").size(), 3u);
    EXPECT_TRUE(run.has("free 1"));
    EXPECT_TRUE(run.has("windows left 0"));
    EXPECT_TRUE(run.has("done"));
}

} // namespace
} // namespace tessaranth::test
