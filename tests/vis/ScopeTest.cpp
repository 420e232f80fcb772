// SPDX-License-Identifier: GPL-2.0-or-later
#include "VisFixture.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"

namespace tessaranth::test {
namespace {

// Waveform bytes are signed samples: the flipped value 128 + s is stored as s.
constexpr uint8_t sampleByte(int flipped) { return static_cast<uint8_t>(flipped ^ 0x80); }

class ScopeTest : public VisFixture {
protected:
    // A filled graphic scope 4 cells wide and 16 rows high at cell 1, pixel row 32, gain 6.
    void SetUp() override {
        VisFixture::SetUp();
        Settings& s = *gSettings;
        s.setScopeX(1);
        s.setScopeY(32);
        s.setScopeWidth(4);
        s.setScopeHeight(16);
        s.setScopeSens(6);
        s.setScopeType(1);
        s.setBlockScope(0);
        s.setStereoScope(0);
    }

    void render() { gAnalyzer->renderScope(&module); }

    // Column x and row y of the area on the display.
    static int px(int x) { return 6 + x; }
    static int py(int y) { return 32 + y; }
    std::string areaColumn(int x) const { return column(px(x), py(0), py(16)); }

    // Columns 0 .. 3 at the flipped values given, the rest silent.
    void setColumns(std::initializer_list<int> flipped) {
        int p = 0;
        for (int value : flipped) {
            module.waveformBytes[0][p * 23] = sampleByte(value);
            module.waveformBytes[1][p * 23] = sampleByte(value);
            ++p;
        }
    }
};

TEST_F(ScopeTest, SilenceLightsOnlyTheCentreRow) {
    render();
    for (int x = 0; x < 24; ++x) {
        EXPECT_EQ(gAnalyzer->level(x), 8) << x;
        EXPECT_EQ(areaColumn(x), "........#.......") << x;
    }
}

TEST_F(ScopeTest, FullScaleReachesTheTopRowButOne) {
    fillWaveform(0, sampleByte(255));
    fillWaveform(1, sampleByte(255));
    render();
    EXPECT_EQ(gAnalyzer->level(0), 15);  // 8 + 127 x 0.0625 x 0.9996
    EXPECT_EQ(areaColumn(0), ".########.......");
    fillWaveform(0, sampleByte(0));
    fillWaveform(1, sampleByte(0));
    render();
    EXPECT_EQ(gAnalyzer->level(0), 0);  // 8 - 127 x g is just below 0: clamped at 0
    EXPECT_EQ(areaColumn(0), ".........#######");  // from the row below the centre down
}

TEST_F(ScopeTest, HalfStepBelowCentreStaysOnTheCentre) {
    module.waveformBytes[0][0] = sampleByte(127);
    module.waveformBytes[1][0] = sampleByte(128);
    render();
    EXPECT_EQ(gAnalyzer->level(0), 8);
}

TEST_F(ScopeTest, WidthFourReadsEveryTwentyThirdSample) {
    gSettings->setScopeHeight(200);
    gSettings->setScopeSens(11);  // 3 steps of the flipped value raise a column by about 4
    for (int p = 0; p < 24; ++p) {
        module.waveformBytes[0][p * 23] = sampleByte(128 + 3 * p);
        module.waveformBytes[1][p * 23] = sampleByte(128 + 3 * p);
        module.waveformBytes[0][p * 23 + 1] = sampleByte(255);  // never read
    }
    render();
    EXPECT_EQ(gAnalyzer->currentBinStep(), 23);
    for (int p = 1; p < 24; ++p) EXPECT_GT(gAnalyzer->level(p), gAnalyzer->level(p - 1)) << p;
    EXPECT_EQ(gAnalyzer->level(0), 100);
}

TEST_F(ScopeTest, LineNeighbourOnTextLayerIsTheNextColumn) {
    gSettings->setScopeType(0);
    fillWaveform(0, sampleByte(111));
    fillWaveform(1, sampleByte(111));
    setColumns({209});
    render();
    ASSERT_EQ(gAnalyzer->level(0), 13);  // row 3
    ASSERT_EQ(gAnalyzer->level(1), 7);   // row 9
    EXPECT_EQ(areaColumn(0), "...######.......");
    EXPECT_EQ(areaColumn(1), ".........#......");
    EXPECT_EQ(areaColumn(23), ".........#......");
}

TEST_F(ScopeTest, LineNeighbourOnPageControllersIsThePreviousColumn) {
    useDisplay(3, 128, 64);
    gSettings->setScopeType(0);
    fillWaveform(0, sampleByte(111));
    fillWaveform(1, sampleByte(111));
    setColumns({209});
    render();
    EXPECT_EQ(areaColumn(0), "...#............");
    EXPECT_EQ(areaColumn(1), "....######......");
    EXPECT_EQ(areaColumn(2), ".........#......");
    ASSERT_EQ(display->runs.size(), 2u);
    EXPECT_EQ(display->runs[0].place(), (std::pair{1, 4}));
}

TEST_F(ScopeTest, BlockModeMirrorsTheBarAboutTheCentre) {
    gSettings->setBlockScope(1);
    setColumns({255, 128, 200});
    gSettings->setScopeHeight(16);
    gSettings->setScopeSens(11);  // full scale reaches the top
    render();
    ASSERT_EQ(gAnalyzer->level(0), 16);
    // Text lines 4 (upper) and 5 (lower), from cell 1.
    const std::vector<uint8_t> upper = cellsAt(1, 4), lower = cellsAt(1, 5);
    ASSERT_EQ(upper.size(), 4u);
    ASSERT_EQ(lower.size(), 4u);
    EXPECT_EQ(upper[0], 135);
    EXPECT_EQ(lower[0], 143);
    EXPECT_EQ(upper[1], 128);  // the centre: baseline above, nothing below
    EXPECT_EQ(lower[1], 32);
}

TEST_F(ScopeTest, BlockModePartialTopAndOddRowCount) {
    Settings& s = *gSettings;
    s.setBlockScope(1);
    s.setScopeHeight(40);  // five text rows: two pairs, the last row left alone
    s.setScopeY(0);
    s.setScopeSens(6);
    setColumns({255});
    render();
    // 20 + 127 x 0.9996 x 0.15625 = 39.8, stored as 39: one empty pixel row at the top.
    ASSERT_EQ(display->cells.size(), 4u);
    EXPECT_EQ(cellsAt(1, 0)[0], 134);
    EXPECT_EQ(cellsAt(1, 3)[0], 142);
    EXPECT_EQ(cellsAt(1, 1)[0], 135);
    EXPECT_EQ(cellsAt(1, 2)[0], 143);
    EXPECT_TRUE(cellsAt(1, 4).empty());
}

TEST_F(ScopeTest, LineModeInBlockModeLeavesTheAreaAlone) {
    gSettings->setBlockScope(1);
    gSettings->setScopeType(0);
    render();
    EXPECT_TRUE(display->calls.empty());
}

TEST_F(ScopeTest, ClearOperationsCoverTheScopeArea) {
    gAnalyzer->clearScopeGraphics();
    ASSERT_EQ(display->runs.size(), 16u);
    EXPECT_EQ(display->runs[15].place(), (std::pair{1, 47}));
    forget();
    gAnalyzer->clearScopeText();
    EXPECT_EQ(display->calls, (std::vector<std::string>{"clearTextCells 1 4 4", "clearTextCells 1 5 4"}));
}

} // namespace
} // namespace tessaranth::test
