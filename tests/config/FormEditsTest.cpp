// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormFixture.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

namespace tessaranth::test {
namespace {

using FormEdits = FormFixture;

TEST_F(FormEdits, EmptiedUpdateDelayBecomesZeroAtOnce) {
    type("UpdateDelay", "");
    EXPECT_EQ(state("UpdateDelay").text, "0");
    EXPECT_EQ(gSettings->updateDelay(), 0);
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(FormEdits, EveryKeystrokeTakesEffect) {
    type("UpdateDelay", "1");
    EXPECT_EQ(gSettings->updateDelay(), 1);
    type("UpdateDelay", "12");
    EXPECT_EQ(gSettings->updateDelay(), 12);
    type("UpdateDelay", "125000");
    EXPECT_EQ(gSettings->updateDelay(), 125000);  // all 32 bits, no range check
}

TEST_F(FormEdits, ByteEditsKeepTheLowEightBits) {
    type("TitleFieldLength", "300");
    EXPECT_EQ(gSettings->titleLength(), 44);
    type("ScopeHeight", "-1");
    EXPECT_EQ(gSettings->scopeHeight(), 255);
    type("TimeX", "300");
    EXPECT_EQ(gSettings->timeXY() >> 8, 44);
    EXPECT_EQ(state("TimeX").text, "300");  // the edit keeps what was typed
}

TEST_F(FormEdits, ColumnAndLineEditsFillTheTwoHalvesOfAPosition) {
    type("TimeX", "5");
    type("TimeY", "2");
    EXPECT_EQ(gSettings->timeXY(), 0x0502);
    type("AnalyzerY", "40");
    EXPECT_EQ(gSettings->analyzerXY(), 17 << 8 | 40);
}

TEST_F(FormEdits, EmptiedEditsTakeTheirGroupsReplacement) {
    const struct {
        const char* edit;
        const char* replacement;
    } cases[] = {{"ScopeWidth", "1"},    {"PlaylistWidth", "0"},   {"AnalyzerX", "0"},     {"AnalyzerHeight", "1"},
                 {"ScopeX", "1"},        {"PlaylistHeight", "0"},  {"VUMeterX", "1"},      {"VUMeterHeight", "1"},
                 {"TitleX", "0"},        {"ShuffleY", "0"},        {"TitleFieldLength", "0"}, {"ArtistFieldLength", "0"}};
    for (const auto& c : cases) {
        type(c.edit, "");
        EXPECT_EQ(state(c.edit).text, c.replacement) << c.edit;
    }
    EXPECT_EQ(gSettings->scopeWidth(), 1);
    EXPECT_EQ(gSettings->playlistWidth(), 0);
    EXPECT_EQ(gSettings->analyzerXY() >> 8, 0);
    EXPECT_EQ(gSettings->scopeXY() >> 8, 1);
    EXPECT_EQ(gSettings->vuMeterHeight(), 1);
    EXPECT_EQ(gSettings->artistLength(), 0);
}

TEST_F(FormEdits, TextThatIsNoNumberReportsAndKeepsTheField) {
    type("ScopeWidth", "12a");
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0], "'12a' is not a valid integer value");
    EXPECT_EQ(gSettings->scopeWidth(), 4);
    EXPECT_EQ(state("ScopeWidth").text, "12a");
    for (const char* text : {" 5", "0x10", "5.0", "+", "-", "+-5", "99999999999"}) {
        view.errors.clear();
        type("UpdateDelay", text);
        EXPECT_EQ(view.errors.size(), 1u) << text;
    }
    EXPECT_EQ(gSettings->updateDelay(), 60);
}

TEST_F(FormEdits, ConversionAcceptsSignsAndTheWholeIntegerRange) {
    EXPECT_EQ(TConfigForm::toInteger("+7"), 7);
    EXPECT_EQ(TConfigForm::toInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(TConfigForm::toInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(TConfigForm::toInteger("007"), 7);
    EXPECT_FALSE(TConfigForm::toInteger("2147483648"));
    EXPECT_FALSE(TConfigForm::toInteger(""));
    EXPECT_FALSE(TConfigForm::toInteger("7 "));
}

TEST_F(FormEdits, CurrentSongPositionIsConvertedOnlyOnLeaving) {
    type("CurrentSongPosition", "7");
    EXPECT_EQ(gSettings->currentPosition(), 3);
    form->editExited(control("CurrentSongPosition"));
    EXPECT_EQ(gSettings->currentPosition(), 7);

    type("CurrentSongPosition", "");
    EXPECT_EQ(state("CurrentSongPosition").text, "");  // no replacement
    EXPECT_TRUE(view.errors.empty());
    form->editExited(control("CurrentSongPosition"));
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0], "'' is not a valid integer value");
    EXPECT_EQ(gSettings->currentPosition(), 7);
}

TEST_F(FormEdits, LeavingAnEditThatConvertsOnEveryChangeDoesNothingMore) {
    type("UpdateDelay", "abc");
    view.errors.clear();
    form->editExited(control("UpdateDelay"));
    EXPECT_TRUE(view.errors.empty());
    EXPECT_EQ(gSettings->updateDelay(), 60);
}

TEST_F(FormEdits, EventsOfAnotherKindOfControlAreIgnored) {
    form->textChanged(control("ShowTitle"), "0");
    form->itemChosen(control("UpdateDelay"), 0);
    form->sliderMoved(control("ScopeWidth"), 3);
    form->checkBoxMouseUp(control("ScrollSpeed"));
    EXPECT_TRUE(gSettings->showTitle());
    EXPECT_EQ(gSettings->updateDelay(), 60);
    EXPECT_EQ(gSettings->scopeWidth(), 4);
    EXPECT_EQ(gSettings->scrollSpeed(), 5);
}

} // namespace
} // namespace tessaranth::test
