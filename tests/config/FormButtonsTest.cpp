// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormFixture.h"

#include "globals/Globals.h"
#include "config/ConfigDialog.h"
#include "settings/Settings.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace tessaranth::test {
namespace {

using FormButtons = FormFixture;

TEST_F(FormButtons, ConstructionShowsTheVersionAndTheRecord) {
    EXPECT_EQ(state("VersionInfo").text, "v0.9.3 beta");
    EXPECT_EQ(state("WiringPreset").selected, 0);
    EXPECT_EQ(state("UpdateDelay").text, "60");
    EXPECT_TRUE(state("ScrollTitle").checked);
    EXPECT_FALSE(state("ScrollArtist").checked);
    EXPECT_EQ(state("ScrollSpeed").position, 5);
    EXPECT_EQ(state("Brightness").selected, 8);
    EXPECT_EQ(state("ControllerChoice").selected, 0);
    EXPECT_EQ(state("LPTAddress").text, "0x378   (LPT1)");
    EXPECT_EQ(state("BackgroundLocation").text, "No skin selected");
    EXPECT_EQ(state("AnalyzerX").text, "17");
    EXPECT_EQ(state("AnalyzerY").text, "24");
    EXPECT_EQ(state("ArtistY").text, "1");
    EXPECT_EQ(state("VUMeterWidth").text, "12");
    EXPECT_EQ(state("CurrentSongPosition").text, "3");
    EXPECT_EQ(state("WiringA0").selected, 3);
    EXPECT_EQ(state("Button12").selected, 11);
}

TEST_F(FormButtons, SlidersShowOutOfRangeValuesAtTheNearestEndWithoutStoring) {
    gSettings->setScopeSens(0);
    gSettings->setFalloff(200);
    form->fill();
    EXPECT_EQ(state("ScopeSens").position, 1);
    EXPECT_EQ(state("FalloffValue").position, 8);
    EXPECT_EQ(gSettings->scopeSens(), 0);
    EXPECT_EQ(gSettings->falloff(), 200);
    slide("ScopeSens", 4);
    EXPECT_EQ(gSettings->scopeSens(), 4);
    slide("VUMeterRange", 40);
    EXPECT_EQ(gSettings->vuMeterRange(), 11);
    slide("AnalyzerSens", 0);
    EXPECT_EQ(gSettings->analyzerSens(), 0);
}

TEST_F(FormButtons, FontAndScrollSpeedStore) {
    slide("ScrollSpeed", 10);
    EXPECT_EQ(gSettings->scrollSpeed(), 10);
    EXPECT_FALSE(state("FontSelection").enabled);
}

TEST_F(FormButtons, LoadFromFileClearsAndReloadsEvenWhenCancelled) {
    const uint16_t titleXY = gSettings->titleXY();
    press("LoadFromFile");
    Requests expected{};
    expected.backgroundReload = expected.analyzerTextClear = expected.analyzerGraphicsClear = true;
    expected.scopeTextClear = expected.scopeGraphicsClear = expected.playlistClear = true;
    EXPECT_EQ(requests(), expected);
    EXPECT_EQ(gSettings->titleXY(), titleXY);
    EXPECT_TRUE(view.closes.empty());
}

TEST_F(FormButtons, LoadFromFileRefillsTheControls) {
    gSettings->setShowScope(1);  // stands for what a file brings in
    press("LoadFromFile");
    EXPECT_TRUE(state("ShowScope").checked);
}

TEST_F(FormButtons, GetSettingsRefillsEveryControl) {
    type("UpdateDelay", "25");
    gSettings->setLptAddress(0x2BC);
    gSettings->setScrollSpeed(9);
    gSettings->saveToRegistry();  // "Get settings" loads the registry: it holds these values now
    gSettings->setScrollSpeed(2);  // not stored, so the load brings back the 9
    press("GetButton");
    EXPECT_EQ(state("UpdateDelay").text, "25");
    EXPECT_EQ(state("LPTAddress").text, "0x2BC   (LPT4)");
    EXPECT_EQ(state("ScrollSpeed").position, 9);
    EXPECT_TRUE(view.closes.empty());
}

TEST_F(FormButtons, SaveClosesWithOkAndCancelKeepsTheChanges) {
    press("SaveButton");
    EXPECT_EQ(view.closes, std::vector<FormResult>{FormResult::ok});
    EXPECT_EQ(form->result(), FormResult::ok);

    TConfigForm second;
    RecordingView secondView;
    second.attach(&secondView);
    second.textChanged(TConfigForm::named("ScopeWidth"), "9");
    second.buttonPressed(TConfigForm::named("CancelButton"));
    EXPECT_EQ(secondView.closes, std::vector<FormResult>{FormResult::cancel});
    EXPECT_EQ(gSettings->scopeWidth(), 9);
}

// The registry's folder is a file: the save fails, says so once, and the dialog stays open
// with what was set in it.
TEST_F(FormButtons, ASaveThatFailsKeepsTheDialogOpen) {
    type("UpdateDelay", "25");
    host.boxes.clear();
    std::filesystem::remove_all(configHome.path() + "/tessaranth");
    std::ofstream(configHome.path() + "/tessaranth") << "a file where the folder belongs";
    press("SaveButton");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Registry write error");
    EXPECT_TRUE(view.closes.empty());
    EXPECT_EQ(state("UpdateDelay").text, "25");

    std::filesystem::remove(configHome.path() + "/tessaranth");
    press("SaveButton");
    EXPECT_EQ(view.closes, std::vector<FormResult>{FormResult::ok});
    EXPECT_NE(configHome.readRegistry().find("\"Update delay\"=dword:00000019"), std::string::npos);
}

TEST_F(FormButtons, SelectBackgroundStoresThePickedPathAndResendsIt) {
    view.picture = "/home/user/skins/missing.bmp";
    press("UploadBMP");
    ASSERT_EQ(view.pictureRequests.size(), 1u);
    EXPECT_EQ(view.pictureRequests[0], "Select Tessaranth background|Tessaranth background (*.bmp)|*.bmp");
    EXPECT_STREQ(gSettings->background(), "/home/user/skins/missing.bmp");
    EXPECT_EQ(state("BackgroundLocation").text, "/home/user/skins/missing.bmp");
    EXPECT_TRUE(requests().backgroundReload);
}

TEST_F(FormButtons, CancelledBackgroundChoiceChangesNothing) {
    press("UploadBMP");
    EXPECT_STREQ(gSettings->background(), "No skin selected");
    EXPECT_EQ(requests(), Requests{});
}

TEST_F(FormButtons, LongBackgroundPathIsShownWholeAndStoredCut) {
    view.picture = "/" + std::string(300, 'p') + ".bmp";
    press("UploadBMP");
    EXPECT_EQ(state("BackgroundLocation").text, view.picture);
    EXPECT_EQ(std::string(gSettings->background()), view.picture.substr(0, 127));
}

TEST_F(FormButtons, TheViewHearsOfEveryChangeTheFormMakes) {
    view.changes.clear();
    type("UpdateDelay", "");
    EXPECT_NE(std::find(view.changes.begin(), view.changes.end(), control("UpdateDelay")), view.changes.end());
    view.changes.clear();
    choose("ControllerChoice", 3);
    for (const char* name : {"SelectWire", "CommandWire", "WriteWire", "ReadWire", "Brightness", "BlockAnalyzer"})
        EXPECT_NE(std::find(view.changes.begin(), view.changes.end(), control(name)), view.changes.end()) << name;
}

struct Presented {
    int calls = 0;
    std::string updateDelay;
};

// A Config while the dialog is open (the player's menu, reached from the dialog's loop) opens
// no second form, which would reload the record under the open one; the next Config does.
TEST_F(FormButtons, ConfigureShowsAFilledFormOnceAndKeepsWhatItChanged) {
    Presented presented;
    config::setConfigDialogPresenter(
        [](void* context, TConfigForm& shown) {
            auto* p = static_cast<Presented*>(context);
            ++p->calls;
            p->updateDelay = shown.state("UpdateDelay").text;
            shown.textChanged(TConfigForm::named("UpdateDelay"), "33");
            config::openConfigDialog();
            shown.buttonPressed(TConfigForm::named("CancelButton"));
        },
        &presented);
    gSettings->setUpdateDelay(45);
    gSettings->saveToRegistry();  // the dialog loads the registry when it is created
    module().configCallback(&module());
    EXPECT_EQ(presented.calls, 1);
    EXPECT_EQ(presented.updateDelay, "45");
    EXPECT_EQ(gSettings->updateDelay(), 33);
    module().configCallback(&module());
    config::setConfigDialogPresenter(nullptr, nullptr);
    EXPECT_EQ(presented.calls, 2);
    EXPECT_EQ(presented.updateDelay, "45") << "the second opening reloads the stored settings";
}

} // namespace
} // namespace tessaranth::test
