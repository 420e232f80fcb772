// SPDX-License-Identifier: GPL-2.0-or-later
#include "VisFixture.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"

namespace tessaranth::test {
namespace {

class AnalyzerTest : public VisFixture {
protected:
    // A plain mono linear graphic analyzer at cell 2, pixel row 16, sensitivity 0, no markers.
    void SetUp() override {
        VisFixture::SetUp();
        Settings& s = *gSettings;
        s.setAnalyzerX(2);
        s.setAnalyzerY(16);
        s.setAnalyzerWidth(4);
        s.setAnalyzerHeight(16);
        s.setAnalyzerSens(0);
        s.setNonLinearAnalyzer(0);
        s.setStereoAnalyzer(0);
        s.setBlockAnalyzer(0);
        s.setSmoothAnalyzer(0);
        s.setFalloff(0);
        s.setPeakHold(0);
    }

    void render(int frames = 1) {
        for (int i = 0; i < frames; ++i) gAnalyzer->renderAnalyzer(&module);
    }

    // Gives every bin of both channels its own value, so that a level names the bin it read.
    void numberBins(int rightOffset) {
        for (int i = 0; i < VIS_SPECTRUM_ENTRIES; ++i) {
            module.spectrumBytes[0][i] = static_cast<uint8_t>(i % 250 + 1);
            module.spectrumBytes[1][i] = static_cast<uint8_t>((i + rightOffset) % 250 + 1);
        }
    }

    static int binValue(int bin, int offset = 0) { return (bin + offset) % 250 + 1; }

    // Pixel column of bar x and pixel row of area row y on the 240 x 128 display.
    static int px(int x) { return 12 + x; }
    static int py(int y) { return 16 + y; }
};

// ---- bar computation ----

TEST_F(AnalyzerTest, AllZeroSpectrumGivesEveryBarOnePixel) {
    render();
    for (int bar = 0; bar < 24; ++bar) {
        EXPECT_EQ(gAnalyzer->level(bar), 1) << bar;
        EXPECT_EQ(column(px(bar), py(0), py(16)), "...............#") << bar;
    }
}

TEST_F(AnalyzerTest, HalfAPixelTruncatesToNoPixel) {
    module.spectrumBytes[0][0] = 1;  // (1 + 0) x 0.5 = 0.5
    render();
    EXPECT_EQ(gAnalyzer->level(0), 0);
    EXPECT_EQ(column(px(0), py(0), py(16)), "................");
    EXPECT_EQ(gAnalyzer->level(1), 1);
}

TEST_F(AnalyzerTest, MonoLinearWidthFourReadsEveryTwentyThirdBin) {
    gSettings->setAnalyzerHeight(255);
    numberBins(0);
    render();
    EXPECT_EQ(gAnalyzer->currentBinStep(), 23);
    for (int bar = 0; bar < 24; ++bar) EXPECT_EQ(gAnalyzer->level(bar), binValue(23 * bar)) << bar;
}

TEST_F(AnalyzerTest, StereoLinearWidthFourPutsTheRightChannelInTheRightHalf) {
    gSettings->setAnalyzerHeight(255);
    gSettings->setStereoAnalyzer(1);
    numberBins(100);
    render();
    EXPECT_EQ(gAnalyzer->currentBinStep(), 46);
    for (int bar = 0; bar < 12; ++bar) {
        EXPECT_EQ(gAnalyzer->level(bar), binValue(46 * bar)) << bar;
        EXPECT_EQ(gAnalyzer->level(bar + 12), binValue(46 * bar, 100)) << bar;
    }
}

TEST_F(AnalyzerTest, OddStereoBarCountKeepsTheLastBarFromTheFrameBefore) {
    Settings& s = *gSettings;
    s.setBlockAnalyzer(1);
    s.setAnalyzerWidth(5);
    s.setAnalyzerHeight(200);
    fillSpectrum(0, 70);
    fillSpectrum(1, 70);
    render();  // mono: every bar at 70 (block drawing lowers it to 64)
    const uint16_t before = gAnalyzer->level(4);
    s.setStereoAnalyzer(1);
    fillSpectrum(0, 20);
    fillSpectrum(1, 30);
    render();
    EXPECT_EQ(gAnalyzer->level(4), before);
    // Left bars 0 and 1, right bars 2 and 3; drawing lowered them to a multiple of 8 plus 0.
    EXPECT_EQ(gAnalyzer->level(0), 16);
    EXPECT_EQ(gAnalyzer->level(2), 24);
}

TEST_F(AnalyzerTest, SensitivityDividesTheBars) {
    gSettings->setAnalyzerHeight(255);
    gSettings->setAnalyzerSens(5);  // 0.2 x 5 + 1 = 2
    fillSpectrum(0, 100);
    fillSpectrum(1, 60);
    render();
    EXPECT_EQ(gAnalyzer->level(0), 40);
}

TEST_F(AnalyzerTest, BarsStopAtTheAreaHeight) {
    fillSpectrum(0, 255);
    fillSpectrum(1, 255);
    render();
    EXPECT_EQ(gAnalyzer->level(7), 16);
    EXPECT_EQ(column(px(7), py(0), py(16)), "################");
    EXPECT_FALSE(pixel(px(7), py(-1)));
}

TEST_F(AnalyzerTest, NonLinearMonoBinsFollowTheTable) {
    gSettings->setAnalyzerHeight(255);
    gSettings->setNonLinearAnalyzer(1);
    numberBins(0);
    render();
    // 24 bars: x advances by 18; halved below 16, two thirds up to 112, itself above.
    const int bins[] = {0, 12, 24, 36, 48, 60, 72, 126, 144, 162, 180, 198};
    for (int bar = 0; bar < 12; ++bar) EXPECT_EQ(gAnalyzer->level(bar), binValue(bins[bar])) << bar;
    EXPECT_EQ(gAnalyzer->level(23), binValue(414));
}

TEST_F(AnalyzerTest, NonLinearStereoAppliesTheGainPerBar) {
    Settings& s = *gSettings;
    s.setAnalyzerHeight(250);
    s.setNonLinearAnalyzer(1);
    s.setStereoAnalyzer(1);
    fillSpectrum(0, 20);
    fillSpectrum(1, 40);
    render();
    // 12 bars per channel, x = 37 p; divisor 12 x 0 + 20.
    EXPECT_EQ(gAnalyzer->level(0), 10);         // x = 0: gain 10
    EXPECT_EQ(gAnalyzer->level(1), 12);         // x = 37: gain 12 (the bar count)
    EXPECT_EQ(gAnalyzer->level(6), 127);        // x = 222: gain 12 x 0.07 + 127, truncated
    EXPECT_EQ(gAnalyzer->level(12 + 1), 24);    // right channel, same gain
    EXPECT_EQ(gAnalyzer->level(12 + 6), 250);   // 254 stops at the height
}

// ---- smoothing ----

TEST_F(AnalyzerTest, SmoothingReadsNothingBeforeTheFirstBin) {
    Settings& s = *gSettings;
    s.setAnalyzerHeight(255);
    s.setSmoothAnalyzer(1);
    module.waveformChannels = 0x7F7F7F7F;     // the bytes just before the left spectrum
    module.spectrumBytes[0][575] = 250;       // the byte just before the right spectrum
    module.spectrumBytes[0][0] = 30;
    module.spectrumBytes[0][1] = 60;
    render();
    // (0 + 0 + 30 + 60) / 3 on the left, 0 on the right, halved for mono.
    EXPECT_EQ(gAnalyzer->level(0), 15);
}

TEST_F(AnalyzerTest, SmoothingCarriesTheRunningValueAndSettlesAtOneAndAHalf) {
    Settings& s = *gSettings;
    s.setAnalyzerHeight(255);
    s.setSmoothAnalyzer(1);
    fillSpectrum(0, 40);
    fillSpectrum(1, 40);
    render();
    EXPECT_EQ(gAnalyzer->level(0), 26);  // (0 + 0 + 40 + 40) / 3
    EXPECT_EQ(gAnalyzer->level(1), 48);  // (26.67 + 120) / 3
    render(3);
    EXPECT_NEAR(gAnalyzer->currentBarValue(), 60.0f, 0.01f);
    EXPECT_NEAR(gAnalyzer->currentLeftSample(), 60.0f, 0.01f);
}

// ---- peak markers ----

TEST_F(AnalyzerTest, NoMarkersWithoutFalloff) {
    fillSpectrum(0, 10);
    fillSpectrum(1, 10);
    render();
    fillSpectrum(0, 0);
    fillSpectrum(1, 0);
    render();
    EXPECT_EQ(gAnalyzer->peak(0), 0);
    EXPECT_FALSE(gAnalyzer->updatePeaks());
    EXPECT_EQ(column(px(0), py(0), py(16)), "...............#");
}

TEST_F(AnalyzerTest, MarkerWithoutHoldDropsOnePixelPerFrame) {
    gSettings->setFalloff(1);
    fillSpectrum(0, 10);
    fillSpectrum(1, 10);
    render();
    EXPECT_EQ(gAnalyzer->peak(0), 10);
    fillSpectrum(0, 0);
    fillSpectrum(1, 0);
    for (int expected = 9; expected >= 5; --expected) {
        render();
        EXPECT_EQ(gAnalyzer->peak(0), expected);
    }
    // The marker row 16 - 5 = 11 above the one-pixel bar.
    EXPECT_EQ(column(px(0), py(0), py(16)), "...........#...#");
}

TEST_F(AnalyzerTest, MarkerHoldsThreeFramesPerHoldStepThenFallsEveryFalloffFrames) {
    gSettings->setFalloff(2);
    gSettings->setPeakHold(1);
    fillSpectrum(0, 10);
    fillSpectrum(1, 10);
    render();
    fillSpectrum(0, 0);
    fillSpectrum(1, 0);
    std::vector<int> seen;
    for (int frame = 0; frame < 7; ++frame) {
        render();
        seen.push_back(gAnalyzer->peak(0));
    }
    EXPECT_EQ(seen, (std::vector<int>{10, 10, 9, 9, 8, 8, 7}));
}

TEST_F(AnalyzerTest, RisingBarPushesTheMarkerUp) {
    gSettings->setFalloff(1);
    fillSpectrum(0, 4);
    fillSpectrum(1, 4);
    render();
    fillSpectrum(0, 12);
    fillSpectrum(1, 12);
    render();
    EXPECT_EQ(gAnalyzer->peak(3), 12);
}

// ---- block mode ----

// The glyph codes themselves: where a controller keeps its user glyphs is its driver's business.
TEST_F(AnalyzerTest, BlockCodesAreTheUserGlyphsOnEveryController) {
    Settings& s = *gSettings;
    s.setBlockAnalyzer(1);
    s.setAnalyzerWidth(8);
    s.setAnalyzerHeight(8);
    s.setAnalyzerY(16);
    s.setAnalyzerSens(0);
    // Mono bars of 1 .. 8 pixels: glyphs 128 .. 135 (bar value = the byte, both channels equal).
    for (int cell = 0; cell < 8; ++cell) {
        module.spectrumBytes[0][cell * 71] = static_cast<uint8_t>(cell + 1);
        module.spectrumBytes[1][cell * 71] = static_cast<uint8_t>(cell + 1);
    }
    for (uint8_t controller : {0, 1, 2, 6, 3, 5}) {
        useDisplay(controller, 128, 64);
        forget();
        render();
        ASSERT_EQ(display->cells.size(), 1u) << int(controller);
        EXPECT_EQ(display->cells[0].place(), (std::pair{2, 2})) << int(controller);
        EXPECT_EQ(display->cells[0].bytes, (std::vector<uint8_t>{128, 129, 130, 131, 132, 133, 134, 135}))
            << int(controller);
    }
}

TEST_F(AnalyzerTest, BlockBarsBlankAbovePartialTopAndFullBelow) {
    Settings& s = *gSettings;
    s.setBlockAnalyzer(1);
    s.setAnalyzerWidth(3);
    s.setAnalyzerHeight(24);
    s.setAnalyzerX(1);
    s.setAnalyzerY(8);
    fillSpectrum(0, 0);  // bar 0: one pixel
    fillSpectrum(1, 0);
    module.spectrumBytes[0][191] = module.spectrumBytes[1][191] = 11;  // bar 1: 11 pixels
    module.spectrumBytes[0][382] = module.spectrumBytes[1][382] = 24;  // bar 2: full
    render();
    // Text lines 1, 2, 3 from cell 1.
    EXPECT_EQ(cellsAt(1, 1), (std::vector<uint8_t>{32, 32, 135}));
    EXPECT_EQ(cellsAt(1, 2), (std::vector<uint8_t>{32, 130, 135}));
    EXPECT_EQ(cellsAt(1, 3), (std::vector<uint8_t>{128, 135, 135}));
    EXPECT_EQ(gAnalyzer->level(1), 8);  // lowered by the drawing
}

TEST_F(AnalyzerTest, BlockBaselineShowsUnderATruncatedBar) {
    Settings& s = *gSettings;
    s.setBlockAnalyzer(1);
    s.setAnalyzerWidth(1);
    s.setAnalyzerHeight(8);
    s.setAnalyzerY(0);
    module.spectrumBytes[0][0] = 1;  // 0.5 pixel
    render();
    EXPECT_EQ(cellsAt(2, 0), (std::vector<uint8_t>{128}));
}

// ---- page controllers ----

TEST_F(AnalyzerTest, PageControllerSendsColumnBytesPerPage) {
    useDisplay(3, 128, 64);
    gSettings->setAnalyzerHeight(8);
    render();
    ASSERT_EQ(display->runs.size(), 1u);
    EXPECT_EQ(display->runs[0].place(), (std::pair{2, 2}));  // cell 2, page 16 / 8
    EXPECT_EQ(display->runs[0].bytes, std::vector<uint8_t>(24, 0x80));
}

TEST_F(AnalyzerTest, TwelveRowsOnAPageControllerSendOnlyTheFirstPage) {
    useDisplay(5, 128, 64);
    gSettings->setAnalyzerHeight(12);
    gSettings->setAnalyzerY(0);
    fillSpectrum(0, 8);
    fillSpectrum(1, 8);
    render();
    ASSERT_EQ(display->runs.size(), 1u);
    EXPECT_EQ(display->runs[0].place(), (std::pair{2, 0}));
    // Bars of 8 in an area of 12 rows: rows 4 .. 7 of the first page.
    EXPECT_EQ(display->runs[0].bytes, std::vector<uint8_t>(24, 0xF0));
}

TEST_F(AnalyzerTest, PageMarkersSitOnTheirRow) {
    useDisplay(3, 128, 64);
    Settings& s = *gSettings;
    s.setAnalyzerHeight(16);
    s.setFalloff(8);
    fillSpectrum(0, 12);
    fillSpectrum(1, 12);
    render();
    fillSpectrum(0, 2);
    fillSpectrum(1, 2);
    render();
    EXPECT_EQ(column(px(0), py(0), py(16)), "....#.........##");
}

// ---- clearing ----

TEST_F(AnalyzerTest, ClearGraphicsZeroesEveryRowOfTheArea) {
    fillSpectrum(0, 255);
    fillSpectrum(1, 255);
    render();
    forget();
    gAnalyzer->clearAnalyzerGraphics();
    ASSERT_EQ(display->runs.size(), 16u);
    for (int row = 0; row < 16; ++row) {
        EXPECT_EQ(display->runs[row].place(), (std::pair{2, 16 + row}));
        EXPECT_EQ(display->runs[row].bytes, std::vector<uint8_t>(4, 0));
    }
}

TEST_F(AnalyzerTest, ClearGraphicsOnAPageControllerSendsWholePages) {
    useDisplay(3, 128, 64);
    gSettings->setAnalyzerHeight(20);
    gAnalyzer->clearAnalyzerGraphics();
    ASSERT_EQ(display->runs.size(), 2u);
    EXPECT_EQ(display->runs[1].place(), (std::pair{2, 3}));
    EXPECT_EQ(display->runs[1].bytes, std::vector<uint8_t>(24, 0));
}

// One clear of the visible cells per text line of the area (the driver leaves a display
// without a text layer as it is).
TEST_F(AnalyzerTest, ClearTextClearsTheCellsOfEachLineOfTheArea) {
    gSettings->setAnalyzerHeight(16);
    gAnalyzer->clearAnalyzerText();
    EXPECT_EQ(display->calls, (std::vector<std::string>{"clearTextCells 2 2 4", "clearTextCells 2 3 4"}));
}

} // namespace
} // namespace tessaranth::test
