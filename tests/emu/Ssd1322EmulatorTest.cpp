// SPDX-License-Identifier: GPL-2.0-or-later
#include "DisplayTraffic.h"

#include "emu/Ssd1322Emulator.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

using test::lopsidedGrey;
using test::pixelsDiffering;

using Panel = Ssd1322Emulator::Panel;

// A command with D/C low, its parameters with D/C high.
void send(Ssd1322Emulator& chip, uint8_t command, const std::vector<uint8_t>& parameters = {}) {
    chip.spiTransfer(false, std::vector<uint8_t>{command}, 0);
    if (!parameters.empty()) chip.spiTransfer(true, parameters, 0);
}

// The makers' set-up (luma sends the same remap): nibble remap, reversed scan, dual COM.
void setUp(Ssd1322Emulator& chip, uint8_t remap = 0x14) {
    send(chip, 0xFD, {0x12});
    send(chip, 0xA0, {remap, 0x11});
    send(chip, 0xCA, {0x3F});
    send(chip, 0xC1, {0xFF});
    send(chip, 0xAF);
}

// The whole panel through the window of columns 0x1C-0x5B, two pixels a byte, left pixel high.
void sendFrame(Ssd1322Emulator& chip, const test::Picture& picture) {
    send(chip, 0x15, {0x1C, 0x5B});
    send(chip, 0x75, {0x00, 0x3F});
    send(chip, 0x5C);
    std::vector<uint8_t> bytes;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; x += 2) bytes.push_back(static_cast<uint8_t>(picture(x, y) << 4 | picture(x + 1, y)));
    chip.spiTransfer(true, std::span(bytes).first(4096), 0);
    chip.spiTransfer(true, std::span(bytes).subspan(4096), 0);
}

TEST(EmuSsd1322Test, AGreyFrameShowsUprightAfterTheMakersSetUpAndTurnedAfterU8g2s) {
    Ssd1322Emulator chip(Panel{});
    setUp(chip);
    sendFrame(chip, lopsidedGrey);
    EXPECT_EQ(pixelsDiffering(chip.screen(), lopsidedGrey), 0);
    EXPECT_EQ(pixelsDiffering(chip.memoryImage(), lopsidedGrey), 0);
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();

    Ssd1322Emulator turned(Panel{});
    setUp(turned, 0x06);
    sendFrame(turned, lopsidedGrey);
    EXPECT_EQ(pixelsDiffering(turned.screen(), [](int x, int y) { return lopsidedGrey(255 - x, 63 - y); }), 0);
}

TEST(EmuSsd1322Test, TheNibbleRemapOrdersAColumnsFourPixels) {
    Ssd1322Emulator chip(Panel{});
    for (uint8_t remap : {0x14, 0x10}) {
        setUp(chip, remap);
        send(chip, 0x15, {0x1C, 0x1C});
        send(chip, 0x75, {0x00, 0x00});
        send(chip, 0x5C);
        chip.spiTransfer(true, std::vector<uint8_t>{0x12, 0x34}, 0);
        const ScreenImage image = chip.screen();
        const std::vector<int> shown = {image.level(0, 0), image.level(1, 0), image.level(2, 0), image.level(3, 0)};
        EXPECT_EQ(shown, remap == 0x14 ? std::vector<int>({1, 2, 3, 4}) : std::vector<int>({4, 3, 2, 1}));
    }
}

TEST(EmuSsd1322Test, ThePointerMovesByColumnThroughTheWindowsRowFirstWithVerticalIncrement) {
    Ssd1322Emulator chip(Panel{.powerOn = PowerOnRam::Cleared});
    send(chip, 0xA0, {0x14, 0x11});
    send(chip, 0x15, {0x20, 0x21});
    send(chip, 0x75, {0x05, 0x06});
    send(chip, 0x5C);
    chip.spiTransfer(true, std::vector<uint8_t>{0x10, 0x00, 0x20, 0x00, 0x30, 0x00, 0x40, 0x00, 0x50, 0x00}, 0);
    EXPECT_EQ(chip.memoryLevel(4 * 0x21, 5), 2);
    EXPECT_EQ(chip.memoryLevel(4 * 0x20, 6), 3) << "past the last column: the first of the next row";
    EXPECT_EQ(chip.memoryLevel(4 * 0x20, 5), 5) << "past the last row: back to the first";

    send(chip, 0xA0, {0x15, 0x11});
    send(chip, 0x15, {0x20, 0x21});
    send(chip, 0x75, {0x05, 0x06});
    send(chip, 0x5C);
    chip.spiTransfer(true, std::vector<uint8_t>{0x60, 0x00, 0x70, 0x00, 0x80, 0x00}, 0);
    EXPECT_EQ(chip.memoryLevel(4 * 0x20, 6), 7) << "vertical increment: the row first";
    EXPECT_EQ(chip.memoryLevel(4 * 0x21, 5), 8);
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

TEST(EmuSsd1322Test, DataNeeds0x5CAndParametersNeedTheDcLineHigh) {
    Ssd1322Emulator chip(Panel{.powerOn = PowerOnRam::Cleared});
    send(chip, 0x75, {0x00, 0x00});
    chip.spiTransfer(true, std::vector<uint8_t>{0xFF}, 0);
    send(chip, 0x5C);
    chip.spiTransfer(true, std::vector<uint8_t>{0x11}, 0);
    send(chip, 0xA6);
    chip.spiTransfer(true, std::vector<uint8_t>{0xFF}, 0);
    EXPECT_EQ(chip.memoryLevel(3, 0), 1) << "the byte after 0x5C";
    EXPECT_EQ(chip.memoryLevel(1, 0), 0);
    EXPECT_EQ(chip.problems().total(), 2u) << "a byte before 0x5C and one after the next command\n" << chip.problems().text();

    chip.spiTransfer(false, std::vector<uint8_t>{0xC1, 0x20}, 0);
    EXPECT_EQ(chip.contrast(), 0x7F);
    EXPECT_EQ(chip.problems().total(), 4u) << "0xC1 lost its parameter, 0x20 is unknown\n" << chip.problems().text();
}

TEST(EmuSsd1322Test, DisplayModesContrastAndMasterCurrentChangeTheGlassNotMemory) {
    Ssd1322Emulator chip(Panel{});
    setUp(chip);
    sendFrame(chip, lopsidedGrey);
    send(chip, 0xA7);
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return 15 - lopsidedGrey(x, y); }), 0);
    send(chip, 0xA5);
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int, int) { return 15; }), 0);
    send(chip, 0xA4);
    EXPECT_EQ(chip.screen().litCount(), 0);
    send(chip, 0xA6);
    send(chip, 0xAE);
    EXPECT_EQ(chip.screen().litCount(), 0);
    EXPECT_EQ(pixelsDiffering(chip.memoryImage(), lopsidedGrey), 0);

    EXPECT_DOUBLE_EQ(chip.look().brightness, 1.0);
    send(chip, 0xC7, {0x07});
    EXPECT_DOUBLE_EQ(chip.look().brightness, 0.5);
    send(chip, 0xC1, {0x3F});
    EXPECT_DOUBLE_EQ(chip.look().brightness, 0.125);
    EXPECT_EQ(chip.look().kind, PanelKind::OledYellow);
}

TEST(EmuSsd1322Test, TheLockTurnsAwayCommandsWithTheirParametersUntilUnlocked) {
    Ssd1322Emulator chip(Panel{});
    setUp(chip);
    send(chip, 0xFD, {0x16});
    send(chip, 0xC1, {0x10});
    send(chip, 0xAE);
    EXPECT_TRUE(chip.displayOn());
    EXPECT_EQ(chip.contrast(), 0xFF);
    EXPECT_EQ(chip.problems().total(), 2u) << "two commands ignored, no stray data\n" << chip.problems().text();
    send(chip, 0xFD, {0x12});
    send(chip, 0xAE);
    EXPECT_FALSE(chip.displayOn());
}

TEST(EmuSsd1322Test, WithoutA64RowMultiplexTheGlassShowsTheOtherHalfOfMemory) {
    Ssd1322Emulator chip(Panel{});
    setUp(chip);
    sendFrame(chip, lopsidedGrey);
    send(chip, 0xCA, {0x7F});
    EXPECT_GT(pixelsDiffering(chip.screen(), lopsidedGrey), 10000);
    const std::vector<uint8_t> message = {0x00, 0xAF};
    chip.i2cMessage(0x3C, message);
    EXPECT_EQ(chip.problems().total(), 1u) << "the SSD1322 has no I2C";
}

} // namespace
} // namespace tessaranth::emu
