// The bus traffic of the visualisations on a T6963C, as the controller latches it.
#include "PluginFixture.h"
#include "T6963CDecoder.h"

#include "controllers/T6963C.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"

namespace tessaranth::test {
namespace {

class VisWireTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        gPlugin->portAddress = 0x378;
        gSettings->setInterfaceTiming(0);
        gLcd->setController(0);
        gLcd->setSize(240, 128);
        gController = new T6963C;
        gController->init();
        Settings& s = *gSettings;
        s.setAnalyzerX(3);
        s.setAnalyzerY(8);
        s.setAnalyzerWidth(1);
        s.setAnalyzerHeight(2);
        s.setAnalyzerSens(0);
        s.setSmoothAnalyzer(0);
        s.setStereoAnalyzer(0);
        s.setNonLinearAnalyzer(0);
        s.setFalloff(0);
        host.clear();
    }

    BusItems items() const { return decodeT6963C(host.accesses); }
};

TEST_F(VisWireTest, GraphicAnalyzerSendsOneAddressedRunPerRow) {
    gAnalyzer->renderAnalyzer(&module());
    EXPECT_EQ(items(), addressItems(768 + 3 + 40 * 8) + autoWriteItems({0x00}) + addressItems(768 + 3 + 40 * 9) +
                           autoWriteItems({0x3F}));
}

TEST_F(VisWireTest, BlockAnalyzerReachesTheUserGlyphs) {
    gSettings->setBlockAnalyzer(1);
    gSettings->setAnalyzerWidth(2);
    gSettings->setAnalyzerHeight(8);
    std::fill_n(module().spectrumBytes[0], VIS_SPECTRUM_ENTRIES, uint8_t{255});
    gAnalyzer->renderAnalyzer(&module());
    // Code 135 raised to 167 lands, less 32, on the full user glyph 0x87.
    EXPECT_EQ(items(), addressItems(40 + 3) + textItems("\xA7\xA7"));
}

TEST_F(VisWireTest, TextClearWritesSpacesInAutoMode) {
    gSettings->setAnalyzerWidth(3);
    gSettings->setAnalyzerHeight(8);
    gAnalyzer->clearAnalyzerText();
    EXPECT_EQ(items(), addressItems(40 + 3) + autoWriteItems({0, 0, 0}));
}

TEST_F(VisWireTest, InverseIsLeftToTheDriver) {
    gSettings->setInverse(1);
    gAnalyzer->clearAnalyzerGraphics();
    EXPECT_EQ(items(), addressItems(768 + 3 + 40 * 8) + autoWriteItems({0xFF}) + addressItems(768 + 3 + 40 * 9) +
                           autoWriteItems({0xFF}));
}

} // namespace
} // namespace tessaranth::test
