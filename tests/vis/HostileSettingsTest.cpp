// SPDX-License-Identifier: GPL-2.0-or-later
// Settings that a stored record or the dialog's two- and three-digit fields can hold but the
// buffers cannot: every one is bounded, nothing is sent outside the display.
#include "VisFixture.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"

namespace tessaranth::test {
namespace {

class HostileSettingsTest : public VisFixture {
protected:
    void SetUp() override {
        VisFixture::SetUp();
        Settings& s = *gSettings;
        s.setAnalyzerX(0);
        s.setAnalyzerY(0);
        s.setAnalyzerSens(0);
        s.setNonLinearAnalyzer(0);
        s.setStereoAnalyzer(0);
        s.setBlockAnalyzer(0);
        s.setSmoothAnalyzer(1);
        s.setFalloff(1);
        s.setPeakHold(0);
        s.setScopeX(0);
        s.setScopeY(0);
        s.setScopeSens(11);
        s.setBlockScope(0);
        s.setStereoScope(0);
        for (int i = 0; i < VIS_SPECTRUM_ENTRIES; ++i) {
            module.spectrumBytes[0][i] = module.spectrumBytes[1][i] = static_cast<uint8_t>(255 - i % 200);
            module.waveformBytes[0][i] = module.waveformBytes[1][i] = static_cast<uint8_t>(i * 37);
        }
    }

    void renderAnalyzer(int frames = 1) {
        for (int i = 0; i < frames; ++i) gAnalyzer->renderAnalyzer(&module);
    }

    void renderAll(int frames = 2) {
        for (int i = 0; i < frames; ++i) {
            gAnalyzer->renderAnalyzer(&module);
            gAnalyzer->renderScope(&module);
            gAnalyzer->renderVUMeter(&module);
        }
    }

    // Every graphic run on the 240 x 128 text-layer display stays inside one display row.
    void expectRunsInsideTheDisplay() const {
        for (const auto& run : display->runs) {
            ASSERT_GE(run.column, 0);
            ASSERT_GE(run.row, 0);
            EXPECT_LT(run.row, 128) << run.column;
            EXPECT_LE(run.column + static_cast<int>(run.bytes.size()), 40) << run.row;
        }
    }
};

TEST_F(HostileSettingsTest, WideGraphicAreaIsBoundedToThePerBarArrays) {
    Settings& s = *gSettings;
    s.setAnalyzerWidth(99);  // 594 bars
    s.setAnalyzerHeight(200);
    renderAnalyzer();
    EXPECT_EQ(gAnalyzer->currentBinStep(), 575 / 336);
    EXPECT_EQ(display->runs.size(), 128u);  // one run per display row, the rest below the display
    expectRunsInsideTheDisplay();
}

TEST_F(HostileSettingsTest, ZeroWidthDrawsNothing) {
    Settings& s = *gSettings;
    s.setAnalyzerWidth(0);
    s.setAnalyzerHeight(16);
    s.setScopeWidth(0);
    s.setScopeHeight(16);
    s.setVuMeterWidth(0);
    for (int nonLinear = 0; nonLinear < 2; ++nonLinear) {
        s.setNonLinearAnalyzer(nonLinear);
        s.setStereoAnalyzer(1);
        renderAll();
        gAnalyzer->drawVUMeter(100, 0);
    }
    EXPECT_TRUE(display->runs.empty());
}

TEST_F(HostileSettingsTest, OneStereoNonLinearBarComputesNothing) {
    Settings& s = *gSettings;
    s.setBlockAnalyzer(1);
    s.setStereoAnalyzer(1);
    s.setNonLinearAnalyzer(1);
    s.setAnalyzerWidth(1);
    s.setAnalyzerHeight(8);
    renderAnalyzer();
    EXPECT_EQ(gAnalyzer->level(0), 0);  // never written: the bar keeps its level
    ASSERT_EQ(display->cells.size(), 1u);
    EXPECT_EQ(display->cells[0].bytes, (std::vector<uint8_t>{128}));
}

TEST_F(HostileSettingsTest, WideBlockRowsStopAtTheirBufferAndTheTextRow) {
    Settings& s = *gSettings;
    s.setBlockAnalyzer(1);
    s.setBlockScope(1);
    s.setScopeType(1);
    s.setAnalyzerWidth(99);
    s.setAnalyzerHeight(64);
    s.setScopeWidth(99);
    s.setScopeHeight(64);
    s.setVuMeterWidth(0);
    renderAll();
    ASSERT_FALSE(display->cells.empty());
    for (const auto& row : display->cells) EXPECT_EQ(row.bytes.size(), 40u);  // of 51 cells
    useDisplay(0, 320, 240);
    forget();
    renderAll();
    for (const auto& row : display->cells) EXPECT_EQ(row.bytes.size(), 51u);  // of 56 cells
}

TEST_F(HostileSettingsTest, AreaPartlyOutsideTheDisplayIsCut) {
    Settings& s = *gSettings;
    s.setAnalyzerX(37);
    s.setAnalyzerY(120);
    s.setAnalyzerWidth(10);
    s.setAnalyzerHeight(40);
    s.setScopeX(30);
    s.setScopeY(100);
    s.setScopeWidth(20);
    s.setScopeHeight(100);
    s.setScopeType(0);
    s.setVuMeterWidth(0);
    renderAll(1);
    expectRunsInsideTheDisplay();
    EXPECT_EQ(display->runs.size(), 8u + 28u);
    EXPECT_EQ(display->runs.front().bytes.size(), 3u);
    EXPECT_EQ(display->runs.back().bytes.size(), 10u);
}

TEST_F(HostileSettingsTest, AreaWhollyOutsideTheDisplaySendsNothing) {
    Settings& s = *gSettings;
    s.setAnalyzerX(41);
    s.setAnalyzerWidth(4);
    s.setAnalyzerHeight(16);
    s.setScopeY(128);
    s.setScopeWidth(4);
    s.setScopeHeight(16);
    s.setVuMeterX(200);
    s.setVuMeterWidth(4);
    s.setVuMeterHeight(16);
    renderAll();
    gAnalyzer->clearAnalyzerText();
    gAnalyzer->clearScopeGraphics();
    EXPECT_TRUE(display->calls.empty());
}

TEST_F(HostileSettingsTest, PageControllerRunsStayInsideTheDisplay) {
    useDisplay(3, 128, 64);
    Settings& s = *gSettings;
    s.setAnalyzerX(18);
    s.setAnalyzerY(40);
    s.setAnalyzerWidth(56);
    s.setAnalyzerHeight(250);
    s.setScopeWidth(50);
    s.setScopeHeight(64);
    s.setVuMeterWidth(0);
    renderAll(1);
    for (const auto& run : display->runs) {
        EXPECT_LE(run.column * 6 + static_cast<int>(run.bytes.size()), 128);
        EXPECT_LT(run.row, 8);
    }
    // Analyzer: pages 5 .. 7 of 128 - 108 columns; scope: eight pages of 128 columns.
    ASSERT_EQ(display->runs.size(), 3u + 8u);
    EXPECT_EQ(display->runs[0].bytes.size(), 20u);
    EXPECT_EQ(display->runs[3].bytes.size(), 128u);
}

} // namespace
} // namespace tessaranth::test
