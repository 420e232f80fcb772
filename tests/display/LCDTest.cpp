// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageBusDecoders.h"
#include "PluginFixture.h"
#include "T6963CDecoder.h"
#include "TableDriver.h"

#include "controllers/ControllerTable.h"
#include "controllers/PageController.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <algorithm>
#include <memory>

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
        {128, 64, 512, 24, 0, 22, 21},   {240, 64, 512, 40, 0, 40, 40},   {240, 128, 768, 40, 0, 40, 40},
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

// Text cells as each controller of the table addresses them, read back from its bus.
class CellsOnTheBus : public PluginFixture {
protected:
    void TearDown() override {
        if (driver) driver->close();
        driver.reset();
        PluginFixture::TearDown();
    }
    void use(uint8_t controller, uint16_t width = 128, uint16_t height = 64) {
        driver = startDisplay(*gLcd, controller, width, height, *gSettings);
        ASSERT_NE(driver, nullptr);
        host.clear();
    }
    // The T6963C's bus; the SED133x's has the same shape (A0 high for commands).
    BusItems items() const { return decodeT6963C(host.accesses); }
    std::vector<VfdItem> vfdItems() const { return decodeNoritake(host.accesses); }

    std::unique_ptr<ControllerLSI> driver;
};

BusItems withParameters(uint8_t command, std::initializer_list<uint8_t> parameters) {
    BusItems items{cmd(command)};
    for (uint8_t p : parameters) items.push_back(dat(p));
    return items;
}

std::vector<VfdItem> vfdCommands(std::initializer_list<uint8_t> values) {
    std::vector<VfdItem> items;
    for (uint8_t v : values) items.push_back({true, v});
    return items;
}

TEST_F(CellsOnTheBus, TextOnTheT6963CStartsAtTheCellAddress) {
    use(0, 240, 64);
    driver->writeText(3, 2, "Hi");
    EXPECT_EQ(items(), addressItems(83) + textItems("Hi"));
}

// Where both layers share one pitch, graphic rows that fall short of the width are widened to
// end at the right edge; rows that reach it stay as the table has them.
TEST(LCDLayout, SharedPitchRowsCoverTheWidth) {
    LCD lcd;
    lcd.setFamily(ControllerFamily::textLayer, true);
    for (auto [width, height, rowBytes, widened] :
         {std::tuple{192, 64, 32, true}, {128, 64, 24, false}, {240, 128, 40, false}, {320, 240, 56, false}}) {
        lcd.setSize(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
        EXPECT_EQ(lcd.graphicRowBytes(), rowBytes) << width;
        EXPECT_EQ(lcd.rowsWidened(), widened) << width;
        EXPECT_EQ(lcd.textPitch(), rowBytes) << width;
    }
    lcd.setFamily(ControllerFamily::pages, false);
    lcd.setSize(192, 64);
    EXPECT_EQ(lcd.graphicRowBytes(), 24) << "the KS0108B reads its background by the table's row";
}

// On 128 x 64 the USB adapter's text rows are 22 bytes apart; the SED133x is given one
// address pitch for both layers, the 24 graphic row bytes.
TEST_F(CellsOnTheBus, TextLayerControllersAddressTheCellAtTheirOwnPitch) {
    for (uint8_t controller : {1, 2}) {
        use(controller);
        driver->writeText(3, 2, "");
        EXPECT_EQ(items(), withParameters(0x46, {51, 0}) + withParameters(0x42, {})) << int(controller);
    }
    use(6);
    driver->writeText(3, 2, "");
    EXPECT_EQ(host.usbBytes, (std::vector<uint8_t>{0x8F, 0x24, 47, 0}));
}

// Cell 3 is pixel column 18; line 2 the page.
TEST_F(CellsOnTheBus, PageControllersPlaceTextAtTheCellsColumnAndPage) {
    for (uint8_t controller : {3, 4}) {
        use(controller);
        driver->writeText(3, 2, "");
        EXPECT_EQ(decodeKS0108B(host.accesses),
                  (std::vector<ChipItem>{{1, true, 0xBA}, {2, true, 0xBA}, {2, true, 0x40}, {1, true, 0x40 + 18}}))
            << int(controller);
    }
    use(5);
    driver->writeText(3, 2, "");
    EXPECT_EQ(vfdItems(), vfdCommands({0x60, 2, 0x64, 18}));
}

TEST_F(CellsOnTheBus, BlankTextOnTheT6963CWritesZeroCodesBetweenTheAutoWriteCommands) {
    use(0, 240, 64);
    driver->blankText(0, 1, 10);
    EXPECT_EQ(items(), addressItems(40) + autoWriteItems(std::vector<uint8_t>(10, 0)));
    host.clear();
    driver->blankText(5, 0, 0);
    EXPECT_EQ(items(), addressItems(5) + autoWriteItems({}));
}

TEST_F(CellsOnTheBus, BlankTextOnTheSED133xIsAMemoryWriteClosedByACommandOfZero) {
    use(1);
    driver->blankText(1, 1, 2);
    EXPECT_EQ(items(), withParameters(0x46, {25, 0}) + withParameters(0x42, {0, 0}) + BusItems{cmd(0)});
}

TEST_F(CellsOnTheBus, BlankTextOnAPageControllerIsOneZeroBlockAtTheCell) {
    use(3);
    driver->blankText(0, 1, 10);
    std::vector<ChipItem> expected{{1, true, 0xB9}, {2, true, 0xB9}, {2, true, 0x40}, {1, true, 0x40}};
    expected.insert(expected.end(), 60, ChipItem{1, false, 0});
    EXPECT_EQ(decodeKS0108B(host.accesses), expected);
    use(5);
    driver->blankText(0, 1, 10);
    std::vector<VfdItem> vfd = vfdCommands({0x60, 1, 0x64, 0});
    vfd.insert(vfd.end(), 60, VfdItem{false, 0});
    EXPECT_EQ(vfdItems(), vfd);
}

// The cells of the text layer only: a display without one has nothing to clear.
TEST_F(CellsOnTheBus, ClearingTextCellsReachesOnlyTheTextLayer) {
    use(0, 240, 64);
    driver->clearTextCells(1, 1, 3);
    EXPECT_EQ(items(), addressItems(41) + autoWriteItems({0, 0, 0}));
    for (uint8_t controller : {3, 4, 5}) {
        use(controller);
        driver->clearTextCells(1, 1, 3);
        EXPECT_TRUE(host.accesses.empty()) << int(controller);
    }
}

TEST_F(CellsOnTheBus, BrightnessIsACommandOnlyWhereTheTableSaysSo) {
    for (const ControllerRow& row : controllerTable) {
        use(row.value);
        driver->setBrightness(3);
        if (row.brightness) continue;
        EXPECT_TRUE(host.accesses.empty()) << row.name;
        EXPECT_TRUE(host.usbBytes.empty()) << row.name;
    }
    use(5);
    driver->setBrightness(3);
    driver->setBrightness(0x1F);
    driver->setBrightness(0);
    EXPECT_EQ(vfdItems(), vfdCommands({0x43, 0x4F, 0x40}));
}

// What a page controller's blank cells hand to its own writeBlock.
class ZeroBlockProbe : public PageController {
public:
    void init() override {}
    void clearGraphics() override {}
    void writeScreen(const uint8_t*) override {}
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override {
        blocks.push_back({x, y, rows, width});
        zeros = std::all_of(bytes, bytes + width * 6, [](uint8_t b) { return b == 0; });
    }
    std::vector<std::vector<int>> blocks;
    bool zeros = false;

private:
    void sendText(const char*) override {}
    void sendRun(const uint8_t*, int32_t) override {}
};

TEST(PageControllerBlanks, NeverReachPastTheirZeroBlock) {
    ZeroBlockProbe probe;
    probe.blankText(2, 0, 100);
    EXPECT_TRUE(probe.zeros);
    probe.blankText(2, 0, -3);
    EXPECT_EQ(probe.blocks, (std::vector<std::vector<int>>{{2, 0, 8, 40}, {2, 0, 8, 0}}));
}

} // namespace
} // namespace tessaranth::test
