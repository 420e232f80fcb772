// SPDX-License-Identifier: GPL-2.0-or-later
#include "DriverFromTable.h"
#include "PageBusDecoders.h"
#include "PluginFixture.h"

#include "controllers/NoritakeVFD.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <memory>

namespace tessaranth::test {
namespace {

using Items = std::vector<VfdItem>;

VfdItem command(uint8_t value) { return {true, value}; }
VfdItem data(uint8_t value) { return {false, value}; }

Items position(uint8_t page, uint8_t x) { return {command(0x60), command(page), command(0x64), command(x)}; }

Items operator+(Items a, const Items& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// What the module holds after a decoded stream: 0x60 and 0x64 take the next command byte as
// page and column; data is stored there and the column advances.
class VfdMemory {
public:
    explicit VfdMemory(const Items& items) {
        uint8_t pending = 0;
        for (const VfdItem& item : items) {
            if (item.command && pending) {
                (pending == 0x60 ? page_ : column_) = item.value;
                pending = 0;
            } else if (item.command) {
                pending = item.value == 0x60 || item.value == 0x64 ? item.value : 0;
            } else {
                if (page_ < 16 && column_ < 128) ram_[page_][column_] = item.value;
                ++column_;
                ++writes_;
            }
        }
    }
    bool pixel(int page0, int x, int y) const { return (ram_[page0 + y / 8][x] >> (y % 8)) & 1; }
    uint8_t byte(int page, int x) const { return ram_[page][x]; }
    int writes() const { return writes_; }

private:
    uint8_t ram_[16][128] = {};
    int page_ = 0;
    int column_ = 0;
    int writes_ = 0;
};

class NoritakeVFDTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        driver = driverFromTable<NoritakeVFD>(5);
        ASSERT_NE(driver, nullptr);
        gLcd->setSize(128, 64);
        driver->init();
        host.clear();
    }
    void setInverse(bool on) {
        gSettings->setInverse(on ? 1 : 0);
        driver->setOptions(driverOptions(*gSettings));
    }
    Items items() const { return decodeNoritake(host.accesses); }

    std::unique_ptr<NoritakeVFD> driver;
};

TEST_F(NoritakeVFDTest, CyclesPulseWrFromTheirBaseValues) {
    driver->clearGraphics();  // the clear command alone
    EXPECT_EQ(host.writes(),
              (std::vector<PortAccess>{{true, 0x37A, 5}, {true, 0x378, 0x5F}, {true, 0x37A, 1}, {true, 0x37A, 5}}));
    host.clear();
    const uint8_t run[] = {0x81};
    driver->writeRow(0, 0, run, 1);  // ends with the data byte
    const std::vector<PortAccess> writes = host.writes();
    ASSERT_EQ(writes.size(), 5u * 4);
    EXPECT_EQ(std::vector<PortAccess>(writes.end() - 4, writes.end()),
              (std::vector<PortAccess>{{true, 0x37A, 13}, {true, 0x378, 0x81}, {true, 0x37A, 9}, {true, 0x37A, 13}}));
    EXPECT_EQ(items(), (position(8, 0) + Items{data(0x81)}));
}

TEST_F(NoritakeVFDTest, InitClearsSetsTheAreasAndStartsAtBrightnessLevel4) {
    host.clear();
    driver->init();
    Items expected{command(0x5F)};
    for (uint8_t i = 0; i < 8; ++i) expected = expected + Items{command(0x62), command(i), data(0xFF)};
    expected = expected + Items{command(0x84), command(0x2C), command(0x44)};
    EXPECT_EQ(items(), expected);
    EXPECT_EQ(host.sleeps, std::vector<uint32_t>{1});
}

TEST_F(NoritakeVFDTest, BrightnessLevelsAreCommands0x40To0x4F) {
    driver->setBrightness(0);
    driver->setBrightness(3);
    driver->setBrightness(15);
    driver->setBrightness(0x13);
    EXPECT_EQ(items(), (Items{command(0x40), command(0x43), command(0x4F), command(0x43)}));
}

TEST_F(NoritakeVFDTest, RunsGoToTheSecondLayerAndTextToTheFirst) {
    const uint8_t run[] = {0x0F, 0xF0};
    driver->writeRow(3, 2, run, 2);
    EXPECT_EQ(items(), (position(0x0A, 0x12) + Items{data(0x0F), data(0xF0)}));
    host.clear();
    driver->writeText(3, 2, "A");
    EXPECT_EQ(items(), (position(0x02, 0x12) + Items{data(0x00), data(0x7C), data(0x12), data(0x11), data(0x12), data(0x7C)}));
}

TEST_F(NoritakeVFDTest, ControlCharactersSendNothingAndTextIsNeverInverted) {
    setInverse(true);
    driver->writeText(0, 0, "\x07 \x1B");
    EXPECT_EQ(items(), (position(0, 0) + Items{data(0), data(0), data(0), data(0), data(0), data(0)}));
    host.clear();
    const uint8_t run[] = {0x0F};
    driver->writeRow(0, 0, run, 1);
    EXPECT_EQ(items().back(), data(0xF0)) << "runs are inverted";
}

TEST_F(NoritakeVFDTest, BlocksAreSentAsGivenAndStopAtTheRightEdge) {
    setInverse(true);
    std::vector<uint8_t> block(50 * 6);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
    driver->writeBlock(block.data(), 0, 1, 8, 50);  // 50 cells: 300 bytes, more than the 128 columns
    const Items got = items();
    ASSERT_EQ(got.size(), 4u + 128);
    EXPECT_EQ(Items(got.begin(), got.begin() + 4), position(1, 0));
    const VfdMemory memory(got);
    for (int x = 0; x < 128; ++x) ASSERT_EQ(memory.byte(1, x), static_cast<uint8_t>(x)) << x;

    host.clear();
    driver->writeBlock(block.data(), 20, 2, 8, 3);  // starts at column 120: eight columns fit
    EXPECT_EQ(VfdMemory(items()).writes(), 8);
    host.clear();
    driver->writeBlock(block.data(), 22, 2, 8, 3);  // column 132: off the display
    driver->writeText(42, 0, "wrapped");
    EXPECT_TRUE(host.accesses.empty());
}

TEST_F(NoritakeVFDTest, ScreenIsTransposedPageByPageIntoTheSecondLayer) {
    std::vector<uint8_t> image(LCD::backgroundBytes, 0);
    auto lit = [](int x, int y) { return (x + 2 * y) % 9 == 0 || y == 5; };
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            if (lit(x, y)) image[static_cast<size_t>(y * 16 + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    driver->writeScreen(image.data());
    const Items got = items();
    ASSERT_EQ(got.size(), 8u * (4 + 128));
    for (uint8_t page = 0; page < 8; ++page)
        EXPECT_EQ(Items(got.begin() + page * 132, got.begin() + page * 132 + 4), position(page + 8, 0));
    const VfdMemory memory(got);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) ASSERT_EQ(memory.pixel(8, x, y), lit(x, y)) << x << "," << y;
}

TEST_F(NoritakeVFDTest, ClearGraphicsIsTheClearCommandAndAPause) {
    driver->clearGraphics();
    EXPECT_EQ(items(), Items{command(0x5F)});
    EXPECT_EQ(host.sleeps, std::vector<uint32_t>{1});
}

TEST_F(NoritakeVFDTest, TheHighlightIsARunOneColumnPastTheLinesLastCell) {
    driver->highlightLine(2, 3, 4, true);
    EXPECT_EQ(items(), position(0x0B, 12) + Items(25, data(0xFF)));
    host.clear();
    setInverse(true);
    driver->highlightLine(2, 3, 4, false);
    EXPECT_EQ(items(), position(0x0B, 12) + Items(25, data(0xFF))) << "the dark bar inverted";
    host.clear();
    driver->highlightLine(0, 0, 100, true);
    EXPECT_EQ(VfdMemory(items()).writes(), 128) << "a long bar stops at the right edge";
}

TEST_F(NoritakeVFDTest, BlankCellsAreAZeroBlockOnTheFirstLayerAndAPlaylistLineIsDrawnSpaces) {
    setInverse(true);
    driver->blankText(2, 1, 3);
    EXPECT_EQ(items(), position(1, 12) + Items(18, data(0x00))) << "blocks are sent as given";
    host.clear();
    driver->clearLine(2, 1, "   ");
    EXPECT_EQ(items(), position(1, 12) + Items(18, data(0x00))) << "text is never inverted";
    host.clear();
    driver->clearTextCells(2, 1, 3);
    EXPECT_TRUE(host.accesses.empty()) << "no text layer";
}

class NoritakePlugin : public PluginFixture {};

TEST_F(NoritakePlugin, QuitFadesOutInSixteenStepsWhateverTheBrightnessThenClears) {
    gSettings->setController(5);
    gSettings->setDisplayFormat(0);
    gSettings->setBrightness(9);
    init();
    Items started = decodeNoritake(host.accesses);
    EXPECT_NE(std::find(started.begin(), started.end(), command(0x49)), started.end()) << "the configured brightness";
    host.clear();
    quit();
    const Items got = decodeNoritake(host.accesses);
    ASSERT_GE(got.size(), 17u);
    Items tail(got.end() - 17, got.end());
    for (uint8_t level = 0; level < 16; ++level) EXPECT_EQ(tail[level], command(static_cast<uint8_t>(0x40 + level)));
    EXPECT_EQ(tail[16], command(0x5F));
    std::vector<uint32_t> expectedSleeps(16, 100);
    expectedSleeps.push_back(1);
    EXPECT_EQ(host.sleeps, expectedSleeps);
}

} // namespace
} // namespace tessaranth::test
