// SPDX-License-Identifier: GPL-2.0-or-later
// The analyzer as a user sees it while the demo songs play: the host's analysis of the
// synthesised sound, the plug-in at its default settings with only the analyzer switched on, and
// the bars read back from the emulated display's glass.
#include "players/DemoPlayer.h"
#include "players/Synthesizer.h"
#include "session/HostSession.h"
#include "session/PluginLibrary.h"
#include "views/VirtualDisplayTarget.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tessaranth::host {
namespace {

constexpr int frameMillis = 60;
constexpr int framesPerSong = 100;  // six seconds of each song, past its lead-in

struct Area {
    int left, top, width, height;  // pixels
};

class AnalyzerBarsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(home);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        loadPlugin();
        gSettings->setShowAnalyzer(1);
        const bool stored = gSettings->saveToRegistry();
        const uint16_t xy = gSettings->analyzerXY();
        area = {(xy >> 8) * 6, xy & 0xFF, gSettings->analyzerWidth() * 6, gSettings->analyzerHeight()};
        unloadPlugin();
        ASSERT_TRUE(stored);
    }
    void TearDown() override { std::filesystem::remove_all(home); }

    // The height of the tallest bar on the glass: lit pixels counted up from the area's bottom row.
    int tallestBar(const emu::ScreenImage& screen) const {
        int tallest = 0;
        for (int x = area.left; x < area.left + area.width; ++x) {
            int height = 0;
            while (height < area.height && screen.pixel(x, area.top + area.height - 1 - height)) ++height;
            tallest = std::max(tallest, height);
        }
        return tallest;
    }

    std::string home = ::testing::TempDir() + "bars-" + std::to_string(getpid());
    Area area{};
};

TEST_F(AnalyzerBarsTest, TheTallestBarReachesHalfTheHeightOverTheDemoSongs) {
    VirtualDisplayTarget display(emu::DisplaySetup{});
    PluginLibrary plugin(TESSARANTH_PLUGIN_PATH);
    plugin.setHostServices(display.services());
    DemoPlayer player({}, demoRoundMillis);  // no schedule: the songs play one after the other
    player.apply(DemoAction::play);
    HostSession session(plugin, player, player, nullptr);
    session.start();

    std::vector<int> tallest;
    int64_t now = 0;
    for (std::size_t song = 0; song < demoPlaylist().size(); ++song) {
        now += static_cast<int64_t>(1000 * (leadInSeconds + 0.5));
        for (int frame = 0; frame < framesPerSong; ++frame, now += frameMillis) {
            session.frame(now);
            tallest.push_back(tallestBar(display.display().screen()));
        }
        player.apply(DemoAction::next);
    }
    std::sort(tallest.begin(), tallest.end());
    const int median = tallest[tallest.size() / 2];
    const int full = static_cast<int>(std::count(tallest.begin(), tallest.end(), area.height));
    std::printf("tallest bar over %zu frames: median %d of %d pixels, lowest %d, at full height in %d frames\n",
                tallest.size(), median, area.height, tallest.front(), full);
    RecordProperty("median", median);
    EXPECT_GE(2 * median, area.height);
    EXPECT_LT(full, static_cast<int>(tallest.size()) / 2) << "bars that stand at full height show nothing";
    EXPECT_TRUE(display.display().problems().empty()) << display.display().problems().text();
}

} // namespace
} // namespace tessaranth::host
