// SPDX-License-Identifier: GPL-2.0-or-later
#include "DisplayTraffic.h"

#include "emu/Ssd1306Emulator.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

using test::lopsided;
using test::pixelsDiffering;
using test::sendCommands;
using test::sendData;

using Panel = Ssd1306Emulator::Panel;

// What the module drivers send: segment remap and reversed scan, which the modules are mounted for.
const std::vector<uint8_t> kSetUp64 = {0xAE, 0xD5, 0x80, 0xA8, 0x3F, 0xD3, 0x00, 0x40, 0x8D, 0x14, 0xA1,
                                       0xC8, 0xDA, 0x12, 0x81, 0xCF, 0xD9, 0xF1, 0xDB, 0x40, 0xA4, 0xA6, 0xAF};

Panel cleared(Panel panel = {}) {
    panel.powerOn = PowerOnRam::Cleared;
    return panel;
}

// A whole frame in horizontal mode through one window, as the hardware notes give it.
void sendFrame(Ssd1306Emulator& chip, const test::Picture& picture, int pages) {
    sendCommands(chip, {0x20, 0x00, 0x21, 0x00, 0x7F, 0x22, 0x00, static_cast<uint8_t>(pages - 1)});
    std::vector<uint8_t> frame;
    for (int page = 0; page < pages; ++page) {
        const std::vector<uint8_t> bytes = test::pageBytes(picture, page, 128);
        frame.insert(frame.end(), bytes.begin(), bytes.end());
    }
    sendData(chip, frame);
}

int rotated(int x, int y) { return lopsided(127 - x, 63 - y); }

TEST(EmuSsd1306Test, AFullFrameAfterTheUsualSetUpShowsUprightOnBothPanelHeights) {
    Ssd1306Emulator tall(Panel{});
    sendCommands(tall, kSetUp64);
    sendFrame(tall, lopsided, 8);
    EXPECT_EQ(pixelsDiffering(tall.screen(), lopsided), 0);
    EXPECT_EQ(pixelsDiffering(tall.memoryImage(), lopsided), 0);

    Ssd1306Emulator shallow(Panel{.height = 32});
    sendCommands(shallow, {0xA8, 0x1F, 0xDA, 0x02, 0xA1, 0xC8, 0x8D, 0x14, 0xAF});
    sendFrame(shallow, lopsided, 4);
    EXPECT_EQ(shallow.screen().height(), 32);
    EXPECT_EQ(pixelsDiffering(shallow.screen(), lopsided), 0);
    EXPECT_TRUE(tall.problems().empty() && shallow.problems().empty()) << tall.problems().text() << shallow.problems().text();
}

TEST(EmuSsd1306Test, ControlBytesDecideCommandsOrDataByCoAndDcOnlyAndSpiByTheDcLine) {
    Ssd1306Emulator chip(cleared());
    // Co=1 pairs (a command, then a data byte), then a Co=0 run of data; bits 5..0 are not decoded.
    const std::vector<uint8_t> message = {0x80, 0xB2, 0x80, 0x05, 0xC0, 0x81, 0x80, 0x10, 0x7F, 0x01, 0x02};
    chip.i2cMessage(0x3C, message);
    EXPECT_EQ(chip.memory(2, 5), 0x81);
    EXPECT_EQ(chip.memory(2, 6), 0x01);
    EXPECT_EQ(chip.memory(2, 7), 0x02);
    EXPECT_EQ(chip.column(), 8);

    Ssd1306Emulator spi(cleared());
    const std::vector<uint8_t> commands = {0xB2, 0x05}, data = {0x81, 0x01, 0x02};
    spi.spiTransfer(false, commands, 0);
    spi.spiTransfer(true, data, 10);
    EXPECT_EQ(spi.memoryImage(), chip.memoryImage());
    EXPECT_TRUE(chip.problems().empty() && spi.problems().empty());
}

TEST(EmuSsd1306Test, AMessageToAnotherAddressIsIgnoredAndLogged) {
    Ssd1306Emulator chip(cleared(Panel{.address7 = 0x3D}));
    const std::vector<uint8_t> message = {0x00, 0xAF};
    chip.i2cMessage(0x3C, message);
    EXPECT_FALSE(chip.displayOn());
    ASSERT_EQ(chip.problems().total(), 1u);
    EXPECT_NE(chip.problems().messages()[0].find("0x3C"), std::string::npos);
    chip.i2cMessage(0x3D, message);
    EXPECT_TRUE(chip.displayOn());
}

TEST(EmuSsd1306Test, PointersWrapWithinTheWindowsHorizontallyVerticallyAndWithinThePage) {
    Ssd1306Emulator chip(cleared());
    sendCommands(chip, {0x20, 0x00, 0x21, 10, 12, 0x22, 2, 3});
    sendData(chip, {1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(chip.memory(2, 12), 3);
    EXPECT_EQ(chip.memory(3, 10), 4) << "past the last column: the first column of the next page";
    EXPECT_EQ(chip.memory(2, 10), 7) << "past the last page: back to the first";

    sendCommands(chip, {0x20, 0x01, 0x21, 20, 21, 0x22, 5, 6});
    sendData(chip, {1, 2, 3, 4, 5});
    EXPECT_EQ(chip.memory(6, 20), 2);
    EXPECT_EQ(chip.memory(5, 21), 3) << "vertical mode: the page first, then the column";
    EXPECT_EQ(chip.memory(5, 20), 5);

    sendCommands(chip, {0x20, 0x02, 0xB4, 0x0E, 0x17});
    EXPECT_EQ(chip.column(), 0x7E);
    sendData(chip, {1, 2, 3});
    EXPECT_EQ(chip.memory(4, 0x7F), 2);
    EXPECT_EQ(chip.memory(4, 0), 3) << "page mode wraps within the page";
    EXPECT_EQ(chip.page(), 4);
}

TEST(EmuSsd1306Test, TheResetOrientationShowsTheModuleUpsideDownAndRemapActsOnLaterWritesOnly) {
    Ssd1306Emulator chip(Panel{});
    sendCommands(chip, {0x8D, 0x14, 0xAF});
    sendFrame(chip, lopsided, 8);
    EXPECT_EQ(pixelsDiffering(chip.screen(), rotated), 0) << "0xA0 and 0xC0 turn the picture by 180 degrees";
    sendCommands(chip, {0xC8});
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return lopsided(127 - x, y); }), 0)
        << "the scan direction flips what is shown at once";
    sendCommands(chip, {0xA1});
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return lopsided(127 - x, y); }), 0)
        << "the segment remap does not move what is in memory";
}

TEST(EmuSsd1306Test, StartLineOffsetMultiplexAndComPinsMoveTheRows) {
    Ssd1306Emulator chip(Panel{});
    sendCommands(chip, kSetUp64);
    sendFrame(chip, lopsided, 8);
    sendCommands(chip, {0x45});
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return lopsided(x, (y + 5) % 64); }), 0);
    sendCommands(chip, {0x40, 0xD3, 0x03});
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return lopsided(x, (y + 3) % 64); }), 0);
    sendCommands(chip, {0xD3, 0x00, 0xDA, 0x02});
    EXPECT_GT(pixelsDiffering(chip.screen(), lopsided), 500) << "sequential COM pins interleave a 128x64 panel's rows";
    sendCommands(chip, {0xDA, 0x12, 0xA8, 0x1F});
    const ScreenImage half = chip.screen();
    EXPECT_EQ(pixelsDiffering(half, [](int x, int y) { return y >= 32 ? lopsided(x, y - 32) : 0; }), 0)
        << "a multiplex ratio of 32 lights only COM 0-31, the half at COM 0's edge";
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

TEST(EmuSsd1306Test, DisplaySwitchesOverrideMemoryButNotTheMemoryImage) {
    Ssd1306Emulator chip(Panel{});
    sendCommands(chip, kSetUp64);
    sendFrame(chip, lopsided, 8);
    const ScreenImage shown = chip.screen();
    sendCommands(chip, {0xA7});
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return 15 - lopsided(x, y); }), 0);
    sendCommands(chip, {0xA5});
    EXPECT_EQ(chip.screen().litCount(), 128 * 64);
    sendCommands(chip, {0xA4, 0xA6, 0xAE});
    EXPECT_EQ(chip.screen().litCount(), 0);
    EXPECT_EQ(chip.memoryImage(), shown) << "the display off keeps memory";
    sendCommands(chip, {0x8D, 0x10, 0xAF});
    EXPECT_EQ(chip.screen().litCount(), 0) << "a pump-powered module stays dark with the pump off";
    sendCommands(chip, {0x8D, 0x14, 0x81, 0x00});
    EXPECT_EQ(chip.screen(), shown);
    EXPECT_LT(chip.look().brightness, 0.01);
    sendCommands(chip, {0x81, 0xFF});
    EXPECT_DOUBLE_EQ(chip.look().brightness, 1.0);
    EXPECT_EQ(chip.look().kind, PanelKind::OledWhite);
}

TEST(EmuSsd1306Test, MemoryStartsArbitraryAndSurvivesAReset) {
    Ssd1306Emulator chip(Panel{});
    EXPECT_GT(chip.memoryImage().litCount(), 1000) << "memory is undefined at power-on";
    EXPECT_EQ(Ssd1306Emulator(cleared()).memoryImage().litCount(), 0);
    sendCommands(chip, kSetUp64);
    sendFrame(chip, lopsided, 8);
    chip.resetPulse();
    EXPECT_FALSE(chip.displayOn());
    EXPECT_EQ(chip.contrast(), 0x7F);
    EXPECT_EQ(chip.addressing(), Ssd1306Emulator::Addressing::Page);
    sendCommands(chip, {0xA1, 0xC8});
    EXPECT_EQ(pixelsDiffering(chip.memoryImage(), lopsided), 0);
}

TEST(EmuSsd1306Test, ScrollCommandsTakeTheirParametersAndARunningScrollIsLogged) {
    Ssd1306Emulator chip(cleared());
    sendCommands(chip, {0x26, 0x00, 0x00, 0x07, 0x07, 0x00, 0xFF, 0xB3});
    EXPECT_EQ(chip.page(), 3) << "six parameters, then a command again";
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
    sendCommands(chip, {0x2F});
    EXPECT_TRUE(chip.scrolling());
    sendData(chip, {0x01, 0x02});
    EXPECT_EQ(chip.problems().total(), 2u) << "the scroll start and the writes during it, once\n" << chip.problems().text();
    sendCommands(chip, {0x2E, 0xFD, 0x16});
    EXPECT_FALSE(chip.scrolling());
    EXPECT_FALSE(chip.locked()) << "the SSD1306 has no lock";
    EXPECT_EQ(chip.column(), 0x62) << "0xFD is unknown; 0x16 is a column nibble";
}

TEST(EmuSsd1309Test, TheVariantIgnoresThePumpLocksAndTakesSevenParameterScrolls) {
    Ssd1306Emulator chip(cleared(Panel{.chip = Ssd1306Emulator::Chip::Ssd1309}));
    sendCommands(chip, {0xB1, 0x8D, 0x14, 0xAF});
    EXPECT_EQ(chip.column(), 0) << "0x14 belongs to 0x8D and is not a column nibble";
    EXPECT_TRUE(chip.displayOn());
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();

    sendData(chip, {0x11, 0x22, 0x33});
    sendCommands(chip, {0x2C, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02});
    EXPECT_EQ(chip.memory(1, 0), 0x33);
    EXPECT_EQ(chip.memory(1, 1), 0x11) << "0x2C shifts the range one column once";
    sendCommands(chip, {0x27, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x7F, 0xB5});
    EXPECT_EQ(chip.page(), 5) << "seven parameters, then a command again";

    sendCommands(chip, {0xFD, 0x16, 0xAE, 0xB2});
    EXPECT_TRUE(chip.locked());
    EXPECT_TRUE(chip.displayOn());
    EXPECT_EQ(chip.page(), 5);
    sendData(chip, {0xFF});
    EXPECT_EQ(chip.memory(5, 3), 0) << "locked: data is ignored too";
    EXPECT_EQ(chip.problems().total(), 3u) << chip.problems().text();
    sendCommands(chip, {0xFD, 0x12, 0xAE});
    EXPECT_FALSE(chip.locked());
    EXPECT_FALSE(chip.displayOn());
}

} // namespace
} // namespace tessaranth::emu
