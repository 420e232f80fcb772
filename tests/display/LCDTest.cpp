#include "PluginFixture.h"
#include "RecordingController.h"
#include "T6963CDecoder.h"

#include "controllers/T6963C.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"

#include <algorithm>

namespace tessaranth::test {
namespace {

struct LayoutRow {
    uint16_t width, height;
    uint32_t graphicHome;
    int32_t graphicRowBytes;
    uint32_t textHome;
    int32_t textRowBytes;
    int16_t textColumns;
};

TEST(LCDLayout, EverySupportedSizeHasItsRowAndAnyOtherSizeIsAllZero) {
    const LayoutRow rows[] = {
        {128, 64, 512, 24, 0, 21, 21},   {240, 64, 512, 40, 0, 40, 40},   {240, 128, 768, 40, 0, 40, 40},
        {256, 128, 1280, 44, 0, 44, 42}, {320, 200, 1792, 56, 0, 53, 53}, {320, 240, 1808, 56, 0, 56, 53},
        {128, 128, 512, 24, 0, 22, 21},  {192, 64, 512, 24, 0, 32, 32},   {128, 32, 512, 24, 0, 32, 32},
        {8, 8, 0, 0, 0, 0, 0},           {64, 128, 0, 0, 0, 0, 0},        {240, 200, 0, 0, 0, 0, 0},
    };
    LCD lcd;
    for (const LayoutRow& r : rows) {
        lcd.setSize(r.width, r.height);
        SCOPED_TRACE(std::to_string(r.width) + " x " + std::to_string(r.height));
        EXPECT_EQ(lcd.width(), r.width);
        EXPECT_EQ(lcd.height(), r.height);
        EXPECT_EQ(lcd.graphicHome(), r.graphicHome);
        EXPECT_EQ(lcd.graphicRowBytes(), r.graphicRowBytes);
        EXPECT_EQ(lcd.textHome(), r.textHome);
        EXPECT_EQ(lcd.textRowBytes(), r.textRowBytes);
        EXPECT_EQ(lcd.textColumns(), r.textColumns);
    }
}

TEST(LCDLayout, BackgroundPointerIsAZeroedImageBeforeAnyLoad) {
    LCD lcd;
    const uint8_t* image = lcd.backgroundPointer();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(std::all_of(image, image + LCD::backgroundBytes, [](uint8_t b) { return b == 0; }));
}

TEST(LCDLayout, TextCellsAreCountedInSixteenBits) {
    LCD lcd;
    lcd.setSize(240, 128);
    EXPECT_EQ(lcd.textCellAddress(3, 2), 83);
    EXPECT_EQ(lcd.textCellAddress(0, 0), 0);
    EXPECT_EQ(lcd.textCellAddress(-1, 0), 0xFFFF);
    EXPECT_EQ(lcd.textCellAddress(0, 2000), static_cast<uint16_t>(80000));
}

class LCDOnT6963C : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        gPlugin->portAddress = 0x378;
        gLcd->setController(0);
        gLcd->setSize(240, 64);
        gController = new T6963C;
        gController->init();
        host.clear();
    }
    BusItems items() const { return decodeT6963C(host.accesses); }
};

TEST_F(LCDOnT6963C, TextPositionIsTheCellAddress) {
    gLcd->setTextPosition(3, 2);
    EXPECT_EQ(items(), addressItems(83));
}

TEST_F(LCDOnT6963C, BlankTextWritesSpacesBetweenTheAutoWriteCommands) {
    gLcd->blankText(0, 1, 10);
    EXPECT_EQ(items(), addressItems(40) + autoWriteItems(std::vector<uint8_t>(10, 0)));
    host.clear();
    gLcd->blankText(5, 0, 0);
    EXPECT_EQ(items(), addressItems(5) + autoWriteItems({}));
}

TEST_F(LCDOnT6963C, BrightnessIsNotSentToThisController) {
    gLcd->setBrightness(3);
    EXPECT_TRUE(host.accesses.empty());
}

class LCDOnRecorder : public PluginFixture {
protected:
    void use(uint8_t controller) {
        gLcd->setController(controller);
        gLcd->setSize(128, 64);
        delete gController;
        recorder = new RecordingController;
        gController = recorder;
    }
    RecordingController* recorder = nullptr;
};

TEST_F(LCDOnRecorder, PageControllersGetColumnAndRowPacked) {
    for (uint8_t controller : {3, 4, 5}) {
        use(controller);
        gLcd->setTextPosition(3, 2);
        EXPECT_EQ(recorder->calls, (std::vector<std::string>{"setAddress 770"})) << int(controller);
    }
}

// On 128 x 64 the USB adapter's text rows are 21 bytes apart; the SED133x is given one
// address pitch for both layers, the 24 graphic row bytes.
TEST_F(LCDOnRecorder, TextLayerControllersGetTheCellAddressAtTheirOwnPitch) {
    for (auto [controller, address] : {std::pair<uint8_t, int>{1, 51}, {2, 51}, {6, 45}}) {
        use(controller);
        gLcd->setTextPosition(3, 2);
        EXPECT_EQ(recorder->calls, (std::vector<std::string>{"setAddress " + std::to_string(address)})) << int(controller);
    }
}

TEST_F(LCDOnRecorder, BlankTextOnAPageControllerIsOneZeroBlock) {
    for (uint8_t controller : {3, 5}) {
        use(controller);
        gLcd->blankText(0, 1, 10);
        EXPECT_EQ(recorder->calls, (std::vector<std::string>{"writeBlock 0 1 8 10"}));
        EXPECT_EQ(recorder->lastBlock, std::vector<uint8_t>(60, 0));
    }
}

TEST_F(LCDOnRecorder, BlankTextOnAPageControllerNeverReachesPastItsZeroBlock) {
    use(3);
    gLcd->blankText(2, 0, 100);
    gLcd->blankText(2, 0, -3);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"writeBlock 2 0 8 40", "writeBlock 2 0 8 0"}));
}

TEST_F(LCDOnRecorder, BlankTextOnATextLayerControllerUsesItsOwnAutoCodes) {
    use(1);
    recorder->autoWrite = 0x42;
    recorder->autoReset = 0;
    gLcd->blankText(1, 1, 2);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"setAddress 25", "writeCommand 66", "writeData 0",
                                                         "writeData 0", "writeCommand 0"}));
}

TEST_F(LCDOnRecorder, BrightnessIsACommandOnlyForTheNoritake) {
    use(5);
    gLcd->setBrightness(3);
    gLcd->setBrightness(0x1F);
    gLcd->setBrightness(0);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"writeCommand 67", "writeCommand 79", "writeCommand 64"}));
    for (uint8_t controller : {0, 1, 3, 4, 6}) {
        use(controller);
        gLcd->setBrightness(3);
        EXPECT_TRUE(recorder->calls.empty()) << int(controller);
    }
}

} // namespace
} // namespace tessaranth::test
