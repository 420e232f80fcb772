// The visualisations through the whole plug-in, driving an emulated T6963C 240 x 128 display:
// each draws exactly its own area of the glass.
#include "PluginFixture.h"

#include "emu/HostServicesAdapter.h"
#include "emu/VirtualDisplay.h"
#include "host/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <memory>

namespace tessaranth::test {
namespace {

class VisEndToEndTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        glass = emu::VirtualDisplay::create({.controller = 0, .displayFormat = 3});
        ASSERT_NE(glass, nullptr);
        adapter = std::make_unique<emu::HostServicesAdapter>(*glass);
        adapter->sleep = [this](uint32_t milliseconds) { sleeps.push_back(milliseconds); };
        adapter->messageBox = [](const char*, const char*, uint32_t) { return 1; };
        services = adapter->services();
        tessaranthSetHostServices(&services);
        gSettings->setController(0);
        gSettings->setDisplayFormat(3);
        init();
        ASSERT_NE(gController, nullptr);
        // Only the title and the artist are shown by default.
        gSettings->setShowTitle(0);
        gSettings->setShowArtist(0);
        render();
        ASSERT_EQ(glass->screen().litCount(), 0);
    }

    void TearDown() override {
        PluginFixture::TearDown();
        tessaranthSetHostServices(nullptr);
    }

    // A 4-cell, 16-row analyzer at cell 30, pixel row 64.
    static void showAnalyzer(bool block) {
        Settings& s = *gSettings;
        s.setShowAnalyzer(1);
        s.setBlockAnalyzer(block);
        s.setAnalyzerX(30);
        s.setAnalyzerY(64);
        s.setAnalyzerWidth(4);
        s.setAnalyzerHeight(16);
        s.setAnalyzerSens(0);
        s.setSmoothAnalyzer(0);
        s.setStereoAnalyzer(0);
        s.setNonLinearAnalyzer(0);
        s.setFalloff(0);
    }

    void fillSpectrum(uint8_t value) {
        std::fill(&module().spectrumBytes[0][0], &module().spectrumBytes[0][0] + 2 * VIS_SPECTRUM_ENTRIES, value);
    }

    // Lit pixels inside and outside a rectangle of the glass.
    std::pair<int, int> litInsideAndOutside(int x, int y, int width, int height) const {
        const emu::ScreenImage screen = glass->screen();
        int inside = 0;
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column) inside += screen.pixel(column, row);
        return {inside, screen.litCount() - inside};
    }

    std::unique_ptr<emu::VirtualDisplay> glass;
    std::unique_ptr<emu::HostServicesAdapter> adapter;
    TessaranthHostServices services{};
    std::vector<uint32_t> sleeps;
};

TEST_F(VisEndToEndTest, GraphicAnalyzerLightsItsBarsAndNothingElse) {
    showAnalyzer(false);
    fillSpectrum(8);
    render();
    EXPECT_EQ(litInsideAndOutside(180, 72, 24, 8), std::make_pair(24 * 8, 0));
    EXPECT_TRUE(glass->problems().empty()) << glass->problems().text();
}

TEST_F(VisEndToEndTest, BlockAnalyzerShowsTheBarGlyphs) {
    showAnalyzer(true);
    fillSpectrum(255);
    render();
    const emu::ScreenImage screen = glass->screen();
    for (int cell = 0; cell < 4; ++cell)
        for (int row = 64; row < 80; ++row) {
            EXPECT_FALSE(screen.pixel(180 + cell * 6, row)) << cell << " " << row;
            for (int k = 1; k < 6; ++k) EXPECT_TRUE(screen.pixel(180 + cell * 6 + k, row)) << cell << " " << row;
        }
    EXPECT_EQ(litInsideAndOutside(180, 64, 24, 16).second, 0);
}

TEST_F(VisEndToEndTest, SwitchingTheAnalyzerOffErasesItsAreaInTheNextFrame) {
    showAnalyzer(false);
    fillSpectrum(200);
    render();
    EXPECT_GT(glass->screen().litCount(), 0);
    gSettings->setShowAnalyzer(0);
    gPlugin->requestAnalyzerGraphicsClear();
    render();
    EXPECT_EQ(glass->screen().litCount(), 0);
}

TEST_F(VisEndToEndTest, SilentScopeLightsItsCentreRow) {
    Settings& s = *gSettings;
    s.setShowScope(1);
    s.setScopeType(1);
    s.setBlockScope(0);
    s.setStereoScope(0);
    s.setScopeX(2);
    s.setScopeY(96);
    s.setScopeWidth(10);
    s.setScopeHeight(20);
    render();
    EXPECT_EQ(litInsideAndOutside(12, 106, 60, 1), std::make_pair(60, 0));
}

TEST_F(VisEndToEndTest, VUMeterAtRestDrawsOneNeedleInItsArea) {
    Settings& s = *gSettings;
    s.setShowVUMeter(1);
    s.setVuMeterX(1);
    s.setVuMeterY(8);
    render();
    // Default 12 x 48 area: one pixel per row from the top-left corner down to the pivot.
    EXPECT_EQ(litInsideAndOutside(6, 8, 72, 48), std::make_pair(48, 0));
    EXPECT_TRUE(glass->screen().pixel(6, 8));
}

TEST_F(VisEndToEndTest, ModelEngineFillsTheLowerBandAndPausesThroughTheHost) {
    gSettings->setShowModelEngine(1);
    render();
    EXPECT_EQ(sleeps, std::vector<uint32_t>(62, 40));
    const auto [inside, outside] = litInsideAndOutside(0, 64, 240, 64);
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

} // namespace
} // namespace tessaranth::test
