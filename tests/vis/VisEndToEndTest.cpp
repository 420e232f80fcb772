// SPDX-License-Identifier: GPL-2.0-or-later
// The visualisations through the whole plug-in, driving an emulated T6963C 240 x 128 display:
// each draws exactly its own area of the glass.
#include "PluginFixture.h"

#include "emu/HostServicesAdapter.h"
#include "emu/VirtualDisplay.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <cmath>
#include <functional>
#include <memory>

namespace tessaranth::test {
namespace {

class VisEndToEndTest : public PluginFixture {
protected:
    virtual emu::DisplaySetup glassSetup() const { return {.controller = 0, .displayFormat = 3}; }

    void SetUp() override {
        PluginFixture::SetUp();
        const emu::DisplaySetup setup = glassSetup();
        glass = emu::VirtualDisplay::create(setup);
        ASSERT_NE(glass, nullptr);
        adapter = std::make_unique<emu::HostServicesAdapter>(*glass);
        adapter->sleep = [this](uint32_t milliseconds) { sleeps.push_back(milliseconds); };
        adapter->messageBox = [](const char*, const char*, uint32_t) { return 1; };
        services = adapter->services();
        tessaranthSetHostServices(&services);
        gSettings->setController(setup.controller);
        gSettings->setDisplayFormat(setup.displayFormat);
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

// Every mode of every visualisation with silence, noise and a sine, on each emulated display:
// nothing is lit outside the area, the emulator understands every byte, and the clear requests
// leave the glass dark again.
class VisEveryModeTest : public VisEndToEndTest, public ::testing::WithParamInterface<emu::DisplaySetup> {
protected:
    emu::DisplaySetup glassSetup() const override { return GetParam(); }

    struct Mode {
        const char* name;
        std::function<void(Settings&)> show;
        int x, y, width, height;  // the area in pixels
        bool block;
    };

    void play(const std::function<uint8_t(int channel, int i)>& spectrum,
              const std::function<uint8_t(int channel, int i)>& waveform) {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < VIS_SPECTRUM_ENTRIES; ++i) {
                module().spectrumBytes[channel][i] = spectrum(channel, i);
                module().waveformBytes[channel][i] = waveform(channel, i);
            }
        render(3);
    }

    // What the dialog asks for when it switches a visualisation of that kind off.
    static void requestClears(bool block) {
        if (block) {
            gPlugin->requestAnalyzerTextClear();
            gPlugin->requestScopeTextClear();
            return;
        }
        gPlugin->requestAnalyzerGraphicsClear();
        gPlugin->requestScopeGraphicsClear();
        gPlugin->requestVUClear();
    }

    // Block glyphs are defined on the T6963C family only.
    bool blockGlyphs() const { return GetParam().controller == 0; }
};

TEST_P(VisEveryModeTest, EachModeDrawsOnlyInsideItsArea) {
    auto analyzer = [](bool block, bool stereo, bool nonLinear) {
        return [=](Settings& s) {
            s.setShowAnalyzer(1);
            s.setAnalyzerX(2), s.setAnalyzerY(16), s.setAnalyzerWidth(8), s.setAnalyzerHeight(24);
            s.setBlockAnalyzer(block), s.setStereoAnalyzer(stereo), s.setNonLinearAnalyzer(nonLinear);
            s.setSmoothAnalyzer(1), s.setFalloff(1), s.setPeakHold(1), s.setAnalyzerSens(1);
        };
    };
    auto scope = [](int type, bool block) {
        return [=](Settings& s) {
            s.setShowScope(1);
            s.setScopeX(3), s.setScopeY(8), s.setScopeWidth(10), s.setScopeHeight(32);
            s.setScopeType(type), s.setBlockScope(block), s.setStereoScope(0), s.setScopeSens(6);
        };
    };
    const Mode modes[] = {
        {"graphic mono analyzer", analyzer(false, false, false), 12, 16, 48, 24, false},
        {"graphic stereo non-linear analyzer", analyzer(false, true, true), 12, 16, 48, 24, false},
        {"block mono analyzer", analyzer(true, false, false), 12, 16, 48, 24, true},
        {"block stereo non-linear analyzer", analyzer(true, true, true), 12, 16, 48, 24, true},
        {"filled scope", scope(1, false), 18, 8, 60, 32, false},
        {"line scope", scope(0, false), 18, 8, 60, 32, false},
        {"block scope", scope(1, true), 18, 8, 60, 32, true},
        {"VU meter",
         [](Settings& s) {
             s.setShowVUMeter(1);
             s.setVuMeterX(4), s.setVuMeterY(24), s.setVuMeterWidth(10), s.setVuMeterHeight(40);
             s.setVuMeterSens(3), s.setVuMeterRange(6);
         },
         24, 24, 60, 40, false},
    };
    uint32_t noise = 12345;
    auto random = [&](int, int) { return static_cast<uint8_t>((noise = noise * 1103515245u + 12345u) >> 24); };
    auto silence = [](int, int) { return uint8_t{0}; };
    auto sineSpectrum = [](int, int i) { return static_cast<uint8_t>(i > 30 && i < 50 ? 250 : 0); };
    auto sineWave = [](int channel, int i) {
        return static_cast<uint8_t>(static_cast<int8_t>(std::lround(110.0 * std::sin(i * 0.13 + channel))));
    };
    for (const Mode& mode : modes) {
        if (mode.block && !blockGlyphs()) continue;
        for (int signal = 0; signal < 3; ++signal) {
            mode.show(*gSettings);
            if (signal == 0) play(silence, silence);
            if (signal == 1) play(random, random);
            if (signal == 2) play(sineSpectrum, sineWave);
            const auto [inside, outside] = litInsideAndOutside(mode.x, mode.y, mode.width, mode.height);
            EXPECT_GT(inside, 0) << mode.name << ", signal " << signal;
            EXPECT_EQ(outside, 0) << mode.name << ", signal " << signal;
            gSettings->setShowAnalyzer(0), gSettings->setShowScope(0), gSettings->setShowVUMeter(0);
            requestClears(mode.block);
            render();
            EXPECT_EQ(glass->screen().litCount(), 0) << mode.name << ", signal " << signal;
        }
    }
    EXPECT_TRUE(glass->problems().empty()) << glass->problems().text();
}

INSTANTIATE_TEST_SUITE_P(Displays, VisEveryModeTest,
                         ::testing::Values(emu::DisplaySetup{.controller = 0, .displayFormat = 0},
                                           emu::DisplaySetup{.controller = 0, .displayFormat = 3},
                                           emu::DisplaySetup{.controller = 1, .displayFormat = 3},
                                           emu::DisplaySetup{.controller = 3, .displayFormat = 0},
                                           emu::DisplaySetup{.controller = 5, .displayFormat = 0}),
                         [](const auto& display) { return "controller" + std::to_string(display.param.controller) +
                                                       "format" + std::to_string(display.param.displayFormat); });

} // namespace
} // namespace tessaranth::test
