// SPDX-License-Identifier: GPL-2.0-or-later
#include "PluginFixture.h"
#include "T6963CDecoder.h"

#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <algorithm>

namespace tessaranth::test {
namespace {

class FrameCycle : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        init();
        host.clear();
        player.sent.clear();
    }

    // Full-screen transfers of the 128 x 64 layout in the traffic so far, each checked byte by byte.
    int screenWrites(uint8_t fill) const {
        const BusItems screen = addressItems(512) + autoWriteItems(std::vector<uint8_t>(24 * 64, fill));
        const BusItems all = decodeT6963C(host.accesses);
        int found = 0;
        for (std::size_t i = 0; i + screen.size() <= all.size(); ++i)
            if (std::equal(screen.begin(), screen.end(), all.begin() + static_cast<long>(i))) ++found;
        return found;
    }

    void switchEverythingOff() {
        Settings& s = *gSettings;
        for (auto off : {&Settings::setShowTitle, &Settings::setShowArtist, &Settings::setShowTrack,
                         &Settings::setShowTime, &Settings::setShowBitrate, &Settings::setShowSamplerate,
                         &Settings::setShowTrackinfo, &Settings::setShowStatus, &Settings::setShowShuffle,
                         &Settings::setShowRepeat, &Settings::setShowAnalyzer, &Settings::setShowScope,
                         &Settings::setShowModelEngine, &Settings::setShowVUMeter, &Settings::setShowPlaylist})
            (s.*off)(0);
    }

    static void requestEverything() {
        gPlugin->requestBackgroundReload();
        gPlugin->requestAnalyzerTextClear();
        gPlugin->requestAnalyzerGraphicsClear();
        gPlugin->requestScopeTextClear();
        gPlugin->requestScopeGraphicsClear();
        gPlugin->requestVUClear();
        gPlugin->requestPlaylistClear();
        gPlugin->requestPlaylistRedraw();
        gPlugin->requestBrightnessChange();
    }
};

TEST_F(FrameCycle, ABackgroundReloadIsOneFullScreenTransferInTheNextFrameOnly) {
    render();
    EXPECT_EQ(screenWrites(0), 0);
    gPlugin->requestBackgroundReload();
    render();
    EXPECT_EQ(screenWrites(0), 1);
    EXPECT_EQ(gPlugin->backgroundReloadPending, 0);
    render(3);
    EXPECT_EQ(screenWrites(0), 1);
}

TEST_F(FrameCycle, TogglingInverseReachesTheDisplayThroughTheReload) {
    gSettings->setInverse(1);
    gPlugin->requestBackgroundReload();
    render();
    EXPECT_EQ(screenWrites(0xFF), 1);
    EXPECT_EQ(screenWrites(0), 0);
}

TEST_F(FrameCycle, EveryRequestIsConsumedByOneFrame) {
    requestEverything();
    render();
    const WinampPlugin& p = *gPlugin;
    for (uint8_t flag : {p.backgroundReloadPending, p.analyzerTextClearPending, p.analyzerGraphicsClearPending,
                         p.scopeTextClearPending, p.scopeGraphicsClearPending, p.vuClearPending,
                         p.playlistClearPending, p.playlistRedrawPending, p.brightnessPending})
        EXPECT_EQ(flag, 0);
}

TEST_F(FrameCycle, WithEveryFieldOffAndNoRequestAFrameWritesNothing) {
    switchEverythingOff();
    render(3);
    for (const PortAccess& a : host.accesses) EXPECT_FALSE(a.write) << a.port;
}

TEST_F(FrameCycle, RequestsAreServedEvenWithTheirAreasSwitchedOff) {
    switchEverythingOff();
    requestEverything();
    render();
    EXPECT_EQ(screenWrites(0), 1);
    EXPECT_EQ(gPlugin->playlistRedrawPending, 0);
}

TEST_F(FrameCycle, FramesWithoutARunningDisplayDoNothing) {
    quit();
    host.clear();
    requestEverything();
    render(2);
    EXPECT_TRUE(host.accesses.empty());
    EXPECT_TRUE(player.sent.empty());
    EXPECT_EQ(gPlugin->backgroundReloadPending, 1) << "a request waits for a running display";
}

} // namespace
} // namespace tessaranth::test
