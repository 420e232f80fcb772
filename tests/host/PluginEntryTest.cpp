// SPDX-License-Identifier: GPL-2.0-or-later
#include "PluginFixture.h"

#include "globals/Globals.h"
#include "host/PluginEntry.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <cstring>

namespace tessaranth::test {
namespace {

using PluginEntry = PluginFixture;

TEST_F(PluginEntry, LooksUpOnlyModuleZero) {
    VisHeader* header = winampVisGetHeader();
    EXPECT_EQ(header->headerVersion, 0x101);
    EXPECT_EQ(header->lookupModule(1), nullptr);
    EXPECT_EQ(header->lookupModule(-1), nullptr);
    EXPECT_EQ(header->lookupModule(0), header->lookupModule(0));
    EXPECT_EQ(_winampVisGetHeader(), header);
    EXPECT_STREQ(header->lookupModule(0)->moduleDescription, "Tessaranth graphical LCD plug-in");
}

TEST_F(PluginEntry, DescriptionIsBuiltOnceWhateverTheNumberOfEntryCalls) {
    for (int i = 0; i < 3; ++i) {
        runEntryRoutine();
        EXPECT_STREQ(winampVisGetHeader()->headerDescription, "Tessaranth v0.9.3 beta");
    }
}

TEST_F(PluginEntry, RenderHandsTheUpdateDelayToTheHost) {
    EXPECT_EQ(module().delayMillis, 40);
    EXPECT_EQ(init(), 0);
    EXPECT_EQ(render(), 0);
    EXPECT_EQ(module().delayMillis, 60);
    gPlugin->setUpdateDelay(25);
    EXPECT_EQ(gSettings->updateDelay(), 25);
    render();
    EXPECT_EQ(module().delayMillis, 25);
    quit();
}

TEST_F(PluginEntry, InitReturnsZeroEvenInAnEmergency) {
    gSettings->setController(12);
    EXPECT_EQ(init(), 0);
    EXPECT_TRUE(gPlugin->inEmergency());
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "init: emergency shutdown");
    EXPECT_EQ(host.boxes[1].caption, "Tessaranth");
    EXPECT_EQ(host.boxes[1].style, 0x30u);
    EXPECT_EQ(player.sent.back(), (SentMessage{0x0111, 40001, 0}));
    const std::size_t queries = player.sent.size();
    render(3);
    EXPECT_EQ(player.sent.size(), queries) << "an emergency frame must not touch the host";
    EXPECT_TRUE(host.accesses.empty());
    quit();
    EXPECT_EQ(host.boxes.back().text, "quit: emergency shutdown");
    EXPECT_EQ(gLcd, nullptr);
    EXPECT_EQ(gAnalyzer, nullptr);
    EXPECT_EQ(gModelEngine, nullptr);
    EXPECT_NE(gSettings, nullptr);
}

TEST_F(PluginEntry, AnySequenceOfHostCallsIsSafe) {
    gSettings->setController(12);
    render();
    quit();
    quit();
    init();
    init();
    render(2);
    quit();
    render();
    init();
    quit();
    EXPECT_NE(gPlugin, nullptr);
}

} // namespace
} // namespace tessaranth::test
