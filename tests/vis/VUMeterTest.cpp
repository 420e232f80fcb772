// SPDX-License-Identifier: GPL-2.0-or-later
#include "VisFixture.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"

#include <algorithm>

namespace tessaranth::test {
namespace {

class VUMeterTest : public VisFixture {
protected:
    // The stored defaults: 12 cells by 48 rows, one frame averaged, gain 4 eighths; at cell 3,
    // pixel row 40.
    void SetUp() override {
        VisFixture::SetUp();
        Settings& s = *gSettings;
        s.setVuMeterWidth(12);
        s.setVuMeterHeight(48);
        s.setVuMeterSens(1);
        s.setVuMeterRange(4);
        s.setVuMeterX(3);
        s.setVuMeterY(40);
    }

    // Left-channel peak of the next frame: flipped values of 128 - peak.
    void renderPeak(int peak) {
        fillWaveform(0, static_cast<uint8_t>((128 - peak) ^ 0x80));
        gAnalyzer->renderVUMeter(&module);
    }

    bool meterPixel(int x, int y) const { return pixel(18 + x, 40 + y); }
    std::vector<int> meterRow(int y) const {
        std::vector<int> lit = litInRow(40 + y, 18, 18 + 72);
        for (int& x : lit) x -= 18;
        return lit;
    }
};

TEST_F(VUMeterTest, SilenceRestsTheNeedleOnTheTopLeftCorner) {
    renderPeak(0);
    EXPECT_EQ(meterRow(0), (std::vector<int>{0}));
    EXPECT_EQ(meterRow(47), (std::vector<int>{35}));  // the step next to the pivot (36, 48)
    ASSERT_EQ(display->runs.size(), 48u);
    EXPECT_EQ(display->runs[0].place(), (std::pair{3, 40}));
    EXPECT_EQ(display->runs[0].bytes.size(), 12u);
}

TEST_F(VUMeterTest, FullScaleSendsTheNeedleToHalfTheLevel) {
    fillWaveform(0, 128);  // flipped 0: peak 128
    gAnalyzer->renderVUMeter(&module);
    // Level 128, needle at 64: 48 steps of (28/48, -1) from the pivot (36, 48).
    EXPECT_EQ(meterRow(0), (std::vector<int>{64}));
    EXPECT_EQ(meterRow(24), (std::vector<int>{50}));
    for (int y = 0; y < 48; ++y) EXPECT_EQ(meterRow(y).size(), 1u) << y;
}

TEST_F(VUMeterTest, LevelBeyondTheMeterStopsAtTheRightEdge) {
    gAnalyzer->drawVUMeter(200, 0);
    const std::vector<uint8_t> clamped = display->memory;
    EXPECT_TRUE(meterRow(0).empty());  // the tip (72, 0) lies outside and is skipped
    EXPECT_EQ(meterRow(1), (std::vector<int>{71}));
    gAnalyzer->drawVUMeter(20000, 0);
    EXPECT_EQ(display->memory, clamped);
}

TEST_F(VUMeterTest, AverageCountsTheNewestPeakTwice) {
    gSettings->setVuMeterSens(3);
    renderPeak(30);
    renderPeak(60);
    renderPeak(90);
    // (90 + 30 + 60 + 90) / 3 x 0.5 = 45; needle at 22.
    EXPECT_FLOAT_EQ(gAnalyzer->history(0), 30.0f);
    EXPECT_FLOAT_EQ(gAnalyzer->history(2), 90.0f);
    EXPECT_EQ(meterRow(0), (std::vector<int>{22}));
}

TEST_F(VUMeterTest, StopDrawingRestsTheNeedle) {
    renderPeak(100);
    gAnalyzer->drawVUMeter(0, 0);
    EXPECT_EQ(meterRow(0), (std::vector<int>{0}));
}

TEST_F(VUMeterTest, ClearSendsEmptyRows) {
    renderPeak(100);
    forget();
    gAnalyzer->clearVUMeter();
    ASSERT_EQ(display->runs.size(), 48u);
    for (const auto& run : display->runs) EXPECT_EQ(run.bytes, std::vector<uint8_t>(12, 0));
}

TEST_F(VUMeterTest, PageControllersGetTheMeterInColumnBytes) {
    useDisplay(3, 128, 64);
    gSettings->setVuMeterWidth(8);
    gSettings->setVuMeterHeight(20);  // two whole pages
    gSettings->setVuMeterX(1);
    gSettings->setVuMeterY(16);
    gAnalyzer->drawVUMeter(0, 0);
    ASSERT_EQ(display->runs.size(), 2u);
    EXPECT_EQ(display->runs[0].place(), (std::pair{1, 2}));
    EXPECT_EQ(display->runs[1].place(), (std::pair{1, 3}));
    EXPECT_EQ(display->runs[0].bytes.size(), 48u);
    // The last two steps of (-1, -20/24) from the pivot (24, 20): (1, 0.83) and the tip (0, 0).
    EXPECT_EQ(litInRow(16, 0, 128), (std::vector<int>{6, 7}));
}

// ---- settings beyond the limits ----

TEST_F(VUMeterTest, ZeroFramesAveragesOne) {
    gSettings->setVuMeterSens(0);
    renderPeak(64);
    EXPECT_EQ(meterRow(0), (std::vector<int>{32}));  // (64 + 64) / 1 x 0.5 / 2
}

TEST_F(VUMeterTest, TooManyFramesAverageAsManyAsTheHistoryHolds) {
    auto needleAfterSteps = [&](uint32_t frames) {
        SetUp();  // a freshly loaded analyzer with an empty history
        gSettings->setVuMeterSens(frames);
        std::vector<std::vector<int>> tips;
        for (int peak : {20, 120, 40, 128, 90}) {
            renderPeak(peak);
            tips.push_back(meterRow(0));
        }
        return tips;
    };
    const auto bounded = needleAfterSteps(23);
    EXPECT_EQ(needleAfterSteps(99), bounded);
    EXPECT_EQ(needleAfterSteps(255), bounded);
}

TEST_F(VUMeterTest, AreaLargerThanItsBufferIsCutToWholeRows) {
    gSettings->setVuMeterX(0);
    gSettings->setVuMeterY(0);
    gSettings->setVuMeterWidth(255);
    gSettings->setVuMeterHeight(255);
    gAnalyzer->drawVUMeter(700, 0);
    // 9856 / 255 = 38 rows; the display row holds 40 of the 255 bytes.
    ASSERT_EQ(display->runs.size(), 38u);
    for (const auto& run : display->runs) EXPECT_EQ(run.bytes.size(), 40u);
}

TEST_F(VUMeterTest, RowsBelowTheDisplayAreNotSent) {
    gSettings->setVuMeterY(120);
    gSettings->setVuMeterX(35);
    gAnalyzer->drawVUMeter(0, 0);
    ASSERT_EQ(display->runs.size(), 8u);
    EXPECT_EQ(display->runs.back().place(), (std::pair{35, 127}));
    EXPECT_EQ(display->runs.back().bytes.size(), 5u);
}

} // namespace
} // namespace tessaranth::test
