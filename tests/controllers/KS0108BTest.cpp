// SPDX-License-Identifier: GPL-2.0-or-later
#include "BitmapFile.h"
#include "DriverFromTable.h"
#include "PageBusDecoders.h"
#include "PluginFixture.h"

#include "controllers/KS0108B.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <algorithm>
#include <memory>

namespace tessaranth::test {
namespace {

// What the module's chips hold after a decoded stream: 0xB8 | p sets a chip's page, 0x40 | y
// its column, a data write stores there and advances the column, wrapping within the chip.
class ChipMemory {
public:
    explicit ChipMemory(const std::vector<ChipItem>& items) {
        for (const ChipItem& item : items)
            for (int chip = 0; chip < 3; ++chip)
                if (item.chips & (1 << chip)) take(chip, item);
    }
    bool pixel(int x, int y) const { return (ram_[x / 64][y / 8][x % 64] >> (y % 8)) & 1; }
    uint8_t byte(int chip, int page, int column) const { return ram_[chip - 1][page][column]; }
    int writes(int chip) const { return writes_[chip - 1]; }

private:
    void take(int chip, const ChipItem& item) {
        if (!item.command) {
            ram_[chip][page_[chip]][column_[chip]] = item.value;
            column_[chip] = (column_[chip] + 1) % 64;
            ++writes_[chip];
        } else if ((item.value & 0xF8) == 0xB8) {
            page_[chip] = item.value & 7;
        } else if ((item.value & 0xC0) == 0x40) {
            column_[chip] = item.value & 63;
        }
    }
    uint8_t ram_[3][8][64] = {};
    int page_[3] = {};
    int column_[3] = {};
    int writes_[3] = {};
};

class KS0108BTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        driver = driverFromTable<KS0108B>(3);
        ASSERT_NE(driver, nullptr);
        useSize(128, 64);
    }
    void useSize(uint16_t width, uint16_t height) {
        gLcd->setSize(width, height);
        driver->init();
        host.clear();
    }
    void setInverse(bool on) {
        gSettings->setInverse(on ? 1 : 0);
        driver->setOptions(driverOptions(*gSettings));
    }
    std::vector<ChipItem> items() const {
        KS0108BWiring wiring;
        wiring.threeChips = gLcd->width() == 192;
        return decodeKS0108B(host.accesses, wiring);
    }

    std::unique_ptr<KS0108B> driver;
};

ChipItem command(uint8_t chips, uint8_t value) { return {chips, true, value}; }
ChipItem data(uint8_t chips, uint8_t value) { return {chips, false, value}; }

TEST_F(KS0108BTest, ChipOfAPixelColumn) {
    EXPECT_EQ(KS0108B::chipOf(0), 1);
    EXPECT_EQ(KS0108B::chipOf(63), 1);
    EXPECT_EQ(KS0108B::chipOf(64), 2);
    EXPECT_EQ(KS0108B::chipOf(127), 2);
    EXPECT_EQ(KS0108B::chipOf(128), 3);
    EXPECT_EQ(KS0108B::chipOf(255), 3);
}

TEST_F(KS0108BTest, CyclesRaiseTheChipSelectAndHoldEHighForTwoWrites) {
    const uint8_t run[] = {0x55};
    driver->writeRow(0, 0, run, 1);  // ends with the column command and the byte, both to chip 1
    const std::vector<PortAccess> writes = host.writes();
    ASSERT_GE(writes.size(), 14u);
    EXPECT_EQ(std::vector<PortAccess>(writes.end() - 14, writes.end()),
              (std::vector<PortAccess>{{true, 0x37A, 11},
                                       {true, 0x37A, 15},
                                       {true, 0x378, 0x40},
                                       {true, 0x37A, 14},
                                       {true, 0x37A, 14},
                                       {true, 0x37A, 15},
                                       {true, 0x37A, 11},
                                       {true, 0x37A, 3},
                                       {true, 0x37A, 7},
                                       {true, 0x378, 0x55},
                                       {true, 0x37A, 6},
                                       {true, 0x37A, 6},
                                       {true, 0x37A, 7},
                                       {true, 0x37A, 3}}));
}

TEST_F(KS0108BTest, InitOn128WideReachesTwoChipsAndChipThreeCyclesWriteOnlyTheBaseValue) {
    host.clear();
    driver->init();
    const std::vector<PortAccess> writes = host.writes();
    ASSERT_GT(writes.size(), 60u);
    // Eight commands of seven writes for chips 1 and 2, then four lone base values for chip 3.
    for (size_t i = 56; i < 60; ++i) EXPECT_EQ(writes[i], (PortAccess{true, 0x37A, 11})) << i;
    const std::vector<ChipItem> got = items();
    const std::vector<ChipItem> start{command(1, 0xC0), command(1, 0x3F), command(1, 0xB8), command(1, 0x40),
                                      command(2, 0xC0), command(2, 0x3F), command(2, 0xB8), command(2, 0x40)};
    EXPECT_EQ(std::vector<ChipItem>(got.begin(), got.begin() + 8), start);
    const ChipMemory memory(got);
    EXPECT_EQ(memory.writes(1) + memory.writes(2), 1024) << "clearGraphics writes 2 chips x 8 pages x 64";
    EXPECT_EQ(memory.writes(3), 0);
}

TEST_F(KS0108BTest, On192WideChipOneIsSelectedWithBothLinesLow) {
    gLcd->setSize(192, 64);
    host.clear();
    driver->init();
    const std::vector<PortAccess> writes = host.writes();
    // Chip 1: the control register is written unchanged where a line would be raised.
    EXPECT_EQ(std::vector<PortAccess>(writes.begin(), writes.begin() + 7),
              (std::vector<PortAccess>{{true, 0x37A, 11},
                                       {true, 0x37A, 11},
                                       {true, 0x378, 0xC0},
                                       {true, 0x37A, 10},
                                       {true, 0x37A, 10},
                                       {true, 0x37A, 11},
                                       {true, 0x37A, 11}}));
    KS0108BWiring wiring;
    wiring.threeChips = true;
    const std::vector<ChipItem> got = decodeKS0108B(host.accesses, wiring);
    EXPECT_EQ(got[4], command(2, 0xC0));
    EXPECT_EQ(got[8], command(4, 0xC0));
    const ChipMemory memory(got);
    EXPECT_EQ(memory.writes(1), 512);
    EXPECT_EQ(memory.writes(2), 512);
    EXPECT_EQ(memory.writes(3), 512);
}

TEST_F(KS0108BTest, TextAtCellColumn11StartsOnChipTwoAtColumn2) {
    driver->writeText(11, 2, "A");
    EXPECT_EQ(items(), (std::vector<ChipItem>{command(1, 0xBA), command(2, 0xBA), command(2, 0x40), command(2, 0x42),
                                              data(2, 0x00), data(2, 0x7C), data(2, 0x12), data(2, 0x11),
                                              data(2, 0x12), data(2, 0x7C)}));
}

TEST_F(KS0108BTest, TextCrossesFromChipOneToChipTwo) {
    driver->writeText(10, 0,  // pixel column 60
                      "\x01" "A\x1F" "A");
    const ChipMemory memory(items());
    const uint8_t glyph[6] = {0x00, 0x7C, 0x12, 0x11, 0x12, 0x7C};
    for (int i = 0; i < 12; ++i) {
        const int x = 60 + i;
        EXPECT_EQ(memory.byte(x / 64 + 1, 0, x % 64), glyph[i % 6]) << x;
    }
    EXPECT_EQ(memory.writes(1) + memory.writes(2), 12) << "control characters take no place";
}

TEST_F(KS0108BTest, InverseTurnsASpaceIntoSixLitColumns) {
    setInverse(true);
    driver->writeText(0, 1, " ");
    const std::vector<ChipItem> got = items();
    ASSERT_EQ(got.size(), 10u);
    for (size_t i = 4; i < 10; ++i) EXPECT_EQ(got[i], data(1, 0xFF));
}

TEST_F(KS0108BTest, ClearGraphicsSends1024ZeroBytesAndEndsEachChipWithStartLine0) {
    driver->clearGraphics();
    const std::vector<ChipItem> got = items();
    ASSERT_EQ(got.size(), 2u * (2 + 8 * 65));
    EXPECT_EQ(got[0], command(1, 0xB8));
    EXPECT_EQ(got[1], command(1, 0x40));
    EXPECT_EQ(got[2 + 64], command(1, 0xB9));
    EXPECT_EQ(got[2 + 8 * 65 - 1], command(1, 0xC0));
    int zeros = 0;
    for (const ChipItem& item : got) zeros += !item.command && item.value == 0;
    EXPECT_EQ(zeros, 1024);
}

TEST_F(KS0108BTest, ScreenIsTransposedIntoColumnBytesOnEveryChip) {
    for (uint16_t width : {uint16_t{128}, uint16_t{192}}) {
        gLcd->setSize(width, 64);
        driver->init();
        host.clear();
        const int rowBytes = width / 8;
        std::vector<uint8_t> image(LCD::backgroundBytes, 0);
        auto lit = [](int x, int y) { return (x * 5 + y * 3 + x * y) % 7 < 3; };
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < width; ++x)
                if (lit(x, y)) image[static_cast<size_t>(y * rowBytes + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        driver->writeScreen(image.data());
        const ChipMemory memory(items());
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < width; ++x) ASSERT_EQ(memory.pixel(x, y), lit(x, y)) << width << ": " << x << "," << y;
    }
}

TEST_F(KS0108BTest, TopLeftImageBitBecomesBitZeroOfTheFirstColumnByte) {
    std::vector<uint8_t> image(LCD::backgroundBytes, 0);
    image[0] = 0x80;
    driver->writeScreen(image.data());
    const std::vector<ChipItem> got = items();
    ASSERT_GE(got.size(), 4u);
    EXPECT_EQ(got[0], command(1, 0xB8));
    EXPECT_EQ(got[1], command(1, 0x40));
    EXPECT_EQ(got[2], data(1, 0x01));
    EXPECT_EQ(got[3], data(1, 0x00));
}

TEST_F(KS0108BTest, RunsStopAtTheRightEdgeInsteadOfWrapping) {
    std::vector<uint8_t> run(300, 0xAA);
    driver->writeRow(0, 3, run.data(), 300);
    ChipMemory memory(items());
    EXPECT_EQ(memory.writes(1) + memory.writes(2), 128);
    EXPECT_EQ(memory.byte(1, 3, 0), 0xAA);
    EXPECT_EQ(memory.byte(2, 3, 63), 0xAA);

    gLcd->setSize(192, 64);
    driver->init();
    host.clear();
    driver->writeRow(30, 1, run.data(), 30);  // pixel column 180
    memory = ChipMemory(items());
    EXPECT_EQ(memory.writes(3), 12);
    EXPECT_EQ(memory.byte(3, 1, 52), 0xAA);
    EXPECT_EQ(memory.byte(3, 1, 0), 0x00) << "nothing wraps into the chip's left columns";

    host.clear();
    driver->writeText(32, 1, "x");  // pixel column 192: off the display
    driver->writeRow(32, 1, run.data(), 10);
    driver->blankText(32, 1, 2);
    EXPECT_TRUE(host.accesses.empty());
}

TEST_F(KS0108BTest, BlockIsOnePageOfSixColumnsPerCellWithInversion) {
    setInverse(true);
    std::vector<uint8_t> block(48);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
    driver->writeBlock(block.data(), 2, 3, 8, 8);
    const ChipMemory memory(items());
    EXPECT_EQ(memory.writes(1), 48);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(memory.byte(1, 3, 12 + i), static_cast<uint8_t>(i ^ 0xFF)) << i;
}

TEST_F(KS0108BTest, BlankCellsAreAZeroBlockOfSixColumnsACell) {
    driver->blankText(1, 2, 4);
    std::vector<ChipItem> got = items();
    ASSERT_EQ(got.size(), 4u + 24);
    EXPECT_EQ(got[3], command(1, 0x46));
    for (size_t i = 4; i < got.size(); ++i) EXPECT_EQ(got[i], data(1, 0x00)) << i;

    // More cells than the zero block holds: cut at its forty cells, and at the right edge.
    useSize(192, 64);
    driver->blankText(0, 0, 100);
    KS0108BWiring wiring;
    wiring.threeChips = true;
    const ChipMemory memory(decodeKS0108B(host.accesses, wiring));
    EXPECT_EQ(memory.writes(1) + memory.writes(2) + memory.writes(3), 192);
    host.clear();
    driver->blankText(0, 0, -2);
    got = decodeKS0108B(host.accesses, wiring);
    EXPECT_TRUE(std::none_of(got.begin(), got.end(), [](const ChipItem& item) { return !item.command; }));
}

TEST_F(KS0108BTest, AClearedPlaylistLineIsItsSpacesDrawnAsPixels) {
    setInverse(true);
    driver->clearLine(2, 5, "  ");
    const ChipMemory memory(items());
    EXPECT_EQ(memory.writes(1), 12);
    for (int x = 12; x < 24; ++x) EXPECT_EQ(memory.byte(1, 5, x), 0xFF) << x;
}

TEST_F(KS0108BTest, HasNoGlyphsNoDeviceAndNoBrightness) {
    const uint8_t rows[8] = {31, 31, 31, 31, 31, 31, 31, 31};
    driver->defineGlyph(0, rows);
    EXPECT_TRUE(driver->open());
    driver->setBrightness(3);
    driver->highlightLine(0, 1, 5, true);
    driver->clearTextCells(0, 1, 5);
    driver->close();
    EXPECT_TRUE(host.accesses.empty());
}

// Controller 4 ("HD61830 (N/A)") runs as a KS0108B in every respect.
class HD61830Plugin : public PluginFixture {};

TEST_F(HD61830Plugin, StartsAsAKs0108bWithItsBackgroundAndPixelText) {
    for (uint8_t controller : {3, 4}) EXPECT_NE(driverFromTable<KS0108B>(controller), nullptr) << int(controller);
    auto lit = [](int x, int y) { return x == y || x == 127 - y; };
    gSettings->setBackground(writeTestFile("hd61830.bmp", emu::oneBitBitmap(144, 64, lit)).c_str());
    gSettings->setController(4);
    gSettings->setDisplayFormat(0);
    gSettings->setShowArtist(0);
    init();
    EXPECT_TRUE(gLcd->isPageController());
    ChipMemory memory(decodeKS0108B(host.accesses));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) ASSERT_EQ(memory.pixel(x, y), lit(x, y)) << x << "," << y;
    EXPECT_TRUE(host.boxes.empty());
    host.clear();
    quit();
    memory = ChipMemory(decodeKS0108B(host.accesses));
    // The title farewell, five spaces then "Tessaranth", drawn as pixels on page 0.
    EXPECT_EQ(memory.byte(1, 0, 31), 0x01) << "the top bar of the T";
    EXPECT_EQ(memory.byte(1, 0, 32), 0x01);
    EXPECT_EQ(memory.byte(1, 0, 33), 0x7F);
}

} // namespace
} // namespace tessaranth::test
