// The Windows DLL for real: loaded by a Win32 host under Wine, with the real registry, window
// messages, message boxes and a recording port library.
#include "T6963CDecoder.h"
#include "WineHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

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

// The recording port library's log: "W <port> <value>" or "R <port>", in hex.
std::vector<PortAccess> portAccesses(const std::string& log) {
    std::vector<PortAccess> accesses;
    std::istringstream lines(log);
    for (std::string kind; lines >> kind;) {
        unsigned port = 0, value = 0;
        lines >> std::hex >> port;
        if (kind == "W") lines >> value;
        lines >> std::dec;
        accesses.push_back({kind == "W", static_cast<uint16_t>(port), static_cast<uint16_t>(value)});
    }
    return accesses;
}

TEST_F(WineSuite, TheDefaultRecordDrivesAT6963CThroughThePortLibrary) {
    const WineRun run = WineHost::run({"--frames", "0"});
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<PortAccess> accesses = portAccesses(run.portLog);
    ASSERT_FALSE(accesses.empty()) << "the DLL did not reach DlPortIO.dll";
    EXPECT_EQ(accesses[0], (PortAccess{true, 0x37A, 4}));
    const BusItems items = decodeT6963C(accesses);
    const BusItems init = initItems(0, 21, 512, 24, 64);
    ASSERT_GT(items.size(), init.size());
    EXPECT_EQ(BusItems(items.begin(), items.begin() + static_cast<long>(init.size())), init);
    const auto reads = std::count_if(accesses.begin(), accesses.end(), [](const PortAccess& a) { return !a.write; });
    EXPECT_EQ(static_cast<std::size_t>(reads), 2 * items.size()) << "slower timing: two delay reads per cycle";
}

} // namespace
} // namespace tessaranth::test
