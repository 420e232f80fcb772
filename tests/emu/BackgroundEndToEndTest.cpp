// SPDX-License-Identifier: GPL-2.0-or-later
// The background bitmap through every driver and its emulator: with no field shown, the glass
// shows the picture exactly.
#include "BitmapFile.h"
#include "EmulatedPlugin.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

#include <string>

namespace tessaranth::test {
namespace {

struct BackgroundCase {
    const char* name;
    uint8_t controller;
    uint8_t displayFormat;
    int fileWidth;  // the bitmap width each family reads for that display
};

class EmuBackground : public EmulatedPlugin, public ::testing::WithParamInterface<BackgroundCase> {};

bool skin(int x, int y) { return (x / 4 + y / 3) % 3 == 0 || x == y; }

TEST_P(EmuBackground, TheGlassShowsTheBitmap) {
    const BackgroundCase& c = GetParam();
    attachDisplay({.controller = c.controller, .displayFormat = c.displayFormat});
    Settings& s = *gSettings;
    for (auto show : {&Settings::setShowTitle, &Settings::setShowArtist, &Settings::setShowTime, &Settings::setShowAnalyzer,
                      &Settings::setShowScope, &Settings::setShowVUMeter, &Settings::setShowPlaylist})
        (s.*show)(0);
    const emu::DisplaySize size = emu::VirtualDisplay::sizeOfFormat(c.displayFormat);
    s.setBackground(writeTestFile(std::string(c.name) + ".bmp", emu::oneBitBitmap(c.fileWidth, size.height, skin)).c_str());
    init();
    render(1);
    const emu::ScreenImage screen = display->screen();
    ASSERT_EQ(screen.width(), size.width);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) ASSERT_EQ(screen.pixel(x, y), skin(x, y)) << x << "," << y;
    EXPECT_TRUE(boxes.empty());
    expectNoProblems();
}

INSTANTIATE_TEST_SUITE_P(Controllers, EmuBackground,
                         ::testing::Values(BackgroundCase{"T6963C_240x64", 0, 2, 240}, BackgroundCase{"T6963C_128x64", 0, 0, 144},
                                           BackgroundCase{"SED1330_128x64", 1, 0, 144}, BackgroundCase{"SED1335_320x240", 2, 6, 336},
                                           BackgroundCase{"KS0108B_128x64", 3, 0, 144}, BackgroundCase{"KS0108B_192x64", 3, 7, 192},
                                           BackgroundCase{"Noritake_128x64", 5, 0, 144}, BackgroundCase{"USB2LCD_240x128", 6, 3, 240}),
                         [](const ::testing::TestParamInfo<BackgroundCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace tessaranth::test
