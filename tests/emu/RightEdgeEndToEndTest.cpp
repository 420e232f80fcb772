// SPDX-License-Identifier: GPL-2.0-or-later
// The display's right edge shows only what the drawing parts drew there: no text row runs on
// into the next row's first character, and a row of graphic bytes reaches the last pixel.
#include "BitmapFile.h"
#include "EmulatedPlugin.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

namespace tessaranth::test {
namespace {

class EmuRightEdge : public EmulatedPlugin {
protected:
    void showTextOnly(uint8_t controller, uint8_t displayFormat) {
        attachDisplay({.controller = controller, .displayFormat = displayFormat});
        Settings& s = *gSettings;
        s.setShowAnalyzer(0);
        s.setShowScope(0);
        s.setShowVUMeter(0);
        player.windowTitle = "1. Bbbbbbbbbb - Tttttttttttttttttttttttttttt - Winamp";
    }

    // How many pixels of the columns from `firstX` to the right edge are lit.
    int litFrom(int firstX) const {
        const emu::ScreenImage image = display->screen();
        int lit = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = firstX; x < image.width(); ++x) lit += image.pixel(x, y) ? 1 : 0;
        return lit;
    }
};

// 128 pixels show 22 text columns of 6 pixels; the text fields take 21. The 22nd stays dark
// even with the artist's "B" right below the end of the title's row.
TEST_F(EmuRightEdge, TheT6963CsTwentySecondTextColumnStaysDark) {
    for (uint8_t controller : {uint8_t{0}, uint8_t{6}}) {
        showTextOnly(controller, 0);
        ASSERT_EQ(init(), 0);
        render(3);
        EXPECT_GT(litFrom(0), 0) << "the fields are shown, controller " << int(controller);
        EXPECT_EQ(litFrom(126), 0) << "controller " << int(controller);
        quit();
        TearDown();
        SetUp();
    }
}

// A 192-pixel-wide SED133x shows the whole row: a picture lit everywhere reaches the last
// pixel column, and no text stands past the 32nd cell.
TEST_F(EmuRightEdge, TheSed133xAt192ShowsTheWholeWidth) {
    showTextOnly(1, 7);
    Settings& s = *gSettings;
    for (auto show : {&Settings::setShowTitle, &Settings::setShowArtist, &Settings::setShowTime}) (s.*show)(0);
    const auto picture = emu::oneBitBitmap(192, 64, [](int, int) { return true; });
    s.setBackground(writeTestFile("lit-192x64.bmp", picture).c_str());
    ASSERT_EQ(init(), 0);
    render(2);
    EXPECT_EQ(litFrom(150), 42 * 64);
    EXPECT_EQ(litFrom(0), 192 * 64);
}

} // namespace
} // namespace tessaranth::test
