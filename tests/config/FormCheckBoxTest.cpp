// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormFixture.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

namespace tessaranth::test {
namespace {

using FormCheckBoxes = FormFixture;

constexpr Requests none{};

Requests only(bool Requests::*flag) {
    Requests r{};
    r.*flag = true;
    return r;
}

TEST_F(FormCheckBoxes, AClickStoresTheBoxState) {
    click("ScrollArtist");
    EXPECT_TRUE(gSettings->scrollArtist());
    click("ScrollTitle");
    EXPECT_FALSE(gSettings->scrollTitle());
    click("SlowTiming");
    EXPECT_EQ(gSettings->interfaceTiming(), 0);
    click("ShowBitrate");
    EXPECT_TRUE(gSettings->showBitrate());
    EXPECT_EQ(requests(), none);
}

TEST_F(FormCheckBoxes, AKeyboardToggleChangesTheBoxButNotTheSetting) {
    toggleByKey("BlockScope");
    EXPECT_TRUE(state("BlockScope").checked);
    EXPECT_FALSE(gSettings->blockScope());
    toggleByKey("TimeType");
    EXPECT_FALSE(gSettings->timeType());
    EXPECT_EQ(requests(), none);
}

TEST_F(FormCheckBoxes, FilledReactsToTheKeyboardToo) {
    toggleByKey("FilledScope");
    EXPECT_EQ(gSettings->scopeType(), 1);
    toggleByKey("FilledScope");
    EXPECT_EQ(gSettings->scopeType(), 0);
    click("FilledScope");
    EXPECT_EQ(gSettings->scopeType(), 1);
}

TEST_F(FormCheckBoxes, FilledIsTickedByAnyNonZeroScopeType) {
    gSettings->setScopeType(2);
    form->fill();
    EXPECT_TRUE(state("FilledScope").checked);
    EXPECT_EQ(gSettings->scopeType(), 2);  // the fill raises no click
}

TEST_F(FormCheckBoxes, MouseReleaseWithoutAToggleStoresTheUnchangedState) {
    gSettings->setShowTime(1);  // the record moved on while the box still shows the old state
    form->checkBoxMouseUp(control("ShowTime"));
    EXPECT_FALSE(gSettings->showTime());
}

TEST_F(FormCheckBoxes, SwitchingTheAnalyzerOffClearsTheAreaOfItsMode) {
    click("ShowAnalyzer");
    EXPECT_TRUE(gSettings->showAnalyzer());
    EXPECT_EQ(requests(), none);
    click("ShowAnalyzer");
    EXPECT_EQ(requests(), only(&Requests::analyzerGraphicsClear));
    EXPECT_FALSE(gSettings->showAnalyzer());

    toggleByKey("BlockAnalyzer");  // only the box decides which area is cleared
    clearRequests();
    click("ShowAnalyzer");
    click("ShowAnalyzer");
    EXPECT_EQ(requests(), only(&Requests::analyzerTextClear));
}

TEST_F(FormCheckBoxes, BlockAnalyzerClearsTheOtherModeAndGreysThePeakSliders) {
    click("BlockAnalyzer");
    EXPECT_TRUE(gSettings->blockAnalyzer());
    EXPECT_EQ(requests(), only(&Requests::analyzerGraphicsClear));
    EXPECT_FALSE(state("FalloffValue").enabled);
    EXPECT_FALSE(state("PeakHoldValue").enabled);
    clearRequests();
    click("BlockAnalyzer");
    EXPECT_FALSE(gSettings->blockAnalyzer());
    EXPECT_EQ(requests(), only(&Requests::analyzerTextClear));
    EXPECT_TRUE(state("FalloffValue").enabled);
    EXPECT_TRUE(state("PeakHoldValue").enabled);
}

TEST_F(FormCheckBoxes, PeakSlidersStayEnabledOnOpeningWhateverTheBlockMode) {
    gSettings->setBlockAnalyzer(1);
    gSettings->saveToRegistry();  // the dialog loads the registry when it is created
    TConfigForm reopened;
    EXPECT_TRUE(reopened.state("BlockAnalyzer").checked);
    EXPECT_TRUE(reopened.state("FalloffValue").enabled);
    EXPECT_TRUE(reopened.state("PeakHoldValue").enabled);
}

TEST_F(FormCheckBoxes, TheScopeClearsTheAreaOfItsMode) {
    click("ShowScope");
    click("ShowScope");
    EXPECT_EQ(requests(), only(&Requests::scopeGraphicsClear));
    clearRequests();
    click("BlockScope");
    EXPECT_TRUE(gSettings->blockScope());
    EXPECT_EQ(requests(), only(&Requests::scopeGraphicsClear));
    clearRequests();
    click("ShowScope");
    click("ShowScope");
    EXPECT_EQ(requests(), only(&Requests::scopeTextClear));
    clearRequests();
    click("BlockScope");
    EXPECT_EQ(requests(), only(&Requests::scopeTextClear));
}

TEST_F(FormCheckBoxes, VUMeterOffClearsItsArea) {
    click("ShowVUMeter");
    EXPECT_TRUE(gSettings->showVUMeter());
    EXPECT_EQ(requests(), none);
    click("ShowVUMeter");
    EXPECT_FALSE(gSettings->showVUMeter());
    EXPECT_EQ(requests(), only(&Requests::vuClear));
}

TEST_F(FormCheckBoxes, PlaylistSwitchAndNumbering) {
    click("TrackNumbering");
    EXPECT_TRUE(gSettings->trackNumbering());
    EXPECT_EQ(requests(), none);  // the playlist is not shown
    click("ShowPlaylist");
    EXPECT_EQ(requests(), only(&Requests::playlistRedraw));
    clearRequests();
    click("TrackNumbering");
    EXPECT_FALSE(gSettings->trackNumbering());
    EXPECT_EQ(requests(), only(&Requests::playlistRedraw));
    clearRequests();
    click("ShowPlaylist");
    EXPECT_EQ(requests(), only(&Requests::playlistClear));
}

TEST_F(FormCheckBoxes, InverseGraphicsResendsTheBackground) {
    click("InverseGFX");
    EXPECT_TRUE(gSettings->inverse());
    EXPECT_EQ(requests(), only(&Requests::backgroundReload));
}

TEST_F(FormCheckBoxes, DisabledAndHiddenBoxesAreShownButNeverStore) {
    for (const char* name : {"EnableButtons", "Backlight", "StereoScope", "ShowModelEngine", "StereoVU"})
        EXPECT_FALSE(state(name).enabled) << name;
    for (const char* name : {"ShowSplashscreen", "AutoSens", "SmoothScope", "RealtimeUpdate"}) {
        EXPECT_FALSE(state(name).visible) << name;
        EXPECT_FALSE(state(name).enabled) << name;
    }
    gSettings->image().backlight = 1;
    form->fill();
    EXPECT_TRUE(state("Backlight").checked);
    form->checkBoxToggled(control("EnableButtons"), true);
    form->checkBoxMouseUp(control("EnableButtons"));
    EXPECT_FALSE(gSettings->enableButtons());
}

TEST_F(FormCheckBoxes, TextFieldTicksStoreTheirOwnFieldOnly) {
    const char* boxes[] = {"ShowTitle",      "ShowArtist",  "ShowTrack",     "ShowTime",   "ShowRepeat",
                           "ShowSamplerate", "ShowBitrate", "ShowTrackinfo", "ShowStatus", "ShowShuffle"};
    for (const char* box : boxes) click(box);
    const Settings& s = *gSettings;
    EXPECT_FALSE(s.showTitle() || s.showArtist());
    EXPECT_TRUE(s.showTrack() && s.showTime() && s.showRepeat() && s.showSamplerate() && s.showBitrate() &&
                s.showTrackinfo() && s.showStatus() && s.showShuffle());
    EXPECT_EQ(requests(), none);
}

} // namespace
} // namespace tessaranth::test
