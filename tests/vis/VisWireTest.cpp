// SPDX-License-Identifier: GPL-2.0-or-later
// The bus traffic of the visualisations through the text-layer drivers, as the controller
// latches it.
#include "PluginFixture.h"
#include "T6963CDecoder.h"
#include "TableDriver.h"

#include "controllers/ControllerLSI.h"
#include "controllers/DriverOptions.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"

namespace tessaranth::test {
namespace {

class VisWireTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        Settings& s = *gSettings;
        s.setInterfaceTiming(0);
        s.setAnalyzerX(3);
        s.setAnalyzerY(8);
        s.setAnalyzerWidth(1);
        s.setAnalyzerHeight(2);
        s.setAnalyzerSens(0);
        s.setSmoothAnalyzer(0);
        s.setStereoAnalyzer(0);
        s.setNonLinearAnalyzer(0);
        s.setFalloff(0);
        use(0);
    }
    void TearDown() override {
        if (gController) gController->close();
        PluginFixture::TearDown();
    }

    // The controller's own driver on the 240 x 128 layout, its bus recorded from here on.
    void use(uint8_t controller) {
        delete gController;
        gController = startDisplay(*gLcd, controller, 240, 128, *gSettings).release();
        ASSERT_NE(gController, nullptr);
        host.clear();
    }

    BusItems items() const { return decodeT6963C(host.accesses); }
};

TEST_F(VisWireTest, GraphicAnalyzerSendsOneAddressedRunPerRow) {
    gAnalyzer->renderAnalyzer(&module());
    EXPECT_EQ(items(), addressItems(768 + 3 + 40 * 8) + autoWriteItems({0x00}) + addressItems(768 + 3 + 40 * 9) +
                           autoWriteItems({0x3F}));
}

// Two full bars in block mode: the full glyph, code 135, at text cell (3, 1) on each driver.
TEST_F(VisWireTest, BlockAnalyzerReachesTheUserGlyphsOnEveryTextLayerDriver) {
    gSettings->setBlockAnalyzer(1);
    gSettings->setAnalyzerWidth(2);
    gSettings->setAnalyzerHeight(8);
    std::fill_n(module().spectrumBytes[0], VIS_SPECTRUM_ENTRIES, uint8_t{255});
    gAnalyzer->renderAnalyzer(&module());
    // The T6963C's user glyphs sit at 0x80 of its character codes (its characters at ASCII - 32).
    EXPECT_EQ(items(), addressItems(40 + 3) + (BusItems{dat(0x87), cmd(0xC0), dat(0x87), cmd(0xC0)}));
    for (uint8_t controller : {1, 2}) {
        use(controller);
        gAnalyzer->renderAnalyzer(&module());
        const BusItems sed{cmd(0x46), dat(43), dat(0), cmd(0x42), dat(0x87), dat(0x87)};
        EXPECT_EQ(items(), sed) << int(controller);
    }
    use(6);
    gAnalyzer->renderAnalyzer(&module());
    EXPECT_EQ(host.usbBytes, (std::vector<uint8_t>{0x8F, 0x24, 43, 0, 0x8F, 0xC0, 0x87, 0x8F, 0xC0, 0x87}));
}

TEST_F(VisWireTest, TextClearWritesZeroCodesInAutoMode) {
    gSettings->setAnalyzerWidth(3);
    gSettings->setAnalyzerHeight(8);
    gAnalyzer->clearAnalyzerText();
    EXPECT_EQ(items(), addressItems(40 + 3) + autoWriteItems({0, 0, 0}));
}

// The analyzer sends dark rows; the driver, given the inverse option as every frame gives it,
// lights them.
TEST_F(VisWireTest, InverseIsLeftToTheDriver) {
    gSettings->setInverse(1);
    gController->setOptions(driverOptions(*gSettings));
    gAnalyzer->clearAnalyzerGraphics();
    EXPECT_EQ(items(), addressItems(768 + 3 + 40 * 8) + autoWriteItems({0xFF}) + addressItems(768 + 3 + 40 * 9) +
                           autoWriteItems({0xFF}));
}

} // namespace
} // namespace tessaranth::test
