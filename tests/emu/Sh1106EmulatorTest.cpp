// SPDX-License-Identifier: GPL-2.0-or-later
#include "DisplayTraffic.h"

#include "emu/Sh1106Emulator.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

using test::lopsided;
using test::pixelsDiffering;
using test::sendCommands;
using test::sendData;

using Panel = Sh1106Emulator::Panel;

Panel cleared(Panel panel = {}) {
    panel.powerOn = PowerOnRam::Cleared;
    return panel;
}

// Page by page, each from the panel's first column, as the SH1106 needs.
void sendFrame(Sh1106Emulator& chip, int firstColumn) {
    sendCommands(chip, {0xAE, 0xA1, 0xC8, 0xA8, 0x3F, 0xDA, 0x12, 0xAF});
    for (int page = 0; page < 8; ++page) {
        sendCommands(chip, {static_cast<uint8_t>(0xB0 + page), static_cast<uint8_t>(firstColumn & 0x0F),
                            static_cast<uint8_t>(0x10 | firstColumn >> 4)});
        sendData(chip, test::pageBytes(lopsided, page, 128));
    }
}

TEST(EmuSh1106Test, PagesSentFromThePanelsFirstColumnShowUpright) {
    for (int firstColumn : {2, 0}) {
        Sh1106Emulator chip(Panel{.firstColumn = firstColumn});
        sendFrame(chip, firstColumn);
        EXPECT_EQ(pixelsDiffering(chip.screen(), lopsided), 0) << "first column " << firstColumn;
        EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
    }
    Sh1106Emulator offset(cleared(Panel{.firstColumn = 2}));
    sendFrame(offset, 0);
    EXPECT_EQ(pixelsDiffering(offset.screen(), [](int x, int y) { return x < 126 ? lopsided(x + 2, y) : 0; }), 0)
        << "a driver that starts at column 0 shows the picture two columns to the left";
}

TEST(EmuSh1106Test, DataMovesOnlyTheColumnWhichWrapsAfter131) {
    Sh1106Emulator chip(cleared());
    sendCommands(chip, {0xB3, 0x02, 0x18});
    sendData(chip, {1, 2, 3});
    EXPECT_EQ(chip.memory(3, 130), 1);
    EXPECT_EQ(chip.memory(3, 131), 2);
    EXPECT_EQ(chip.memory(3, 0), 3);
    EXPECT_EQ(chip.page(), 3) << "the page never moves with data";
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

// Bytes are decoded one at a time: parameters of commands the SH1106 lacks act as commands.
TEST(EmuSh1106Test, AnSsd1306SetUpAndFrameTripOverByteWiseDecoding) {
    Sh1106Emulator chip(cleared());
    sendCommands(chip, {0x21, 0x00, 0x7F});
    EXPECT_EQ(chip.startLine(), 63) << "0x7F sets the start line";
    EXPECT_EQ(chip.column() & 0x0F, 0);
    sendCommands(chip, {0x8D, 0x14});
    EXPECT_EQ(chip.column(), 0x40) << "0x14 sets the column's high nibble";
    EXPECT_EQ(chip.problems().total(), 2u) << "0x21 and 0x8D are unknown\n" << chip.problems().text();

    Sh1106Emulator frame(cleared());
    sendCommands(frame, {0xA1, 0xC8, 0xAF, 0x20, 0x00, 0x21, 0x00, 0x7F, 0x22, 0x00, 0x07, 0x40});
    std::vector<uint8_t> bytes;
    for (int page = 0; page < 8; ++page) {
        const std::vector<uint8_t> pageBytes = test::pageBytes(lopsided, page, 128);
        bytes.insert(bytes.end(), pageBytes.begin(), pageBytes.end());
    }
    sendData(frame, bytes);
    EXPECT_GT(pixelsDiffering(frame.screen(), lopsided), 2000) << "one page took all 1024 bytes";
}

TEST(EmuSh1106Test, RemapMirrorsWhatIsInMemoryAndReadModifyWriteRestoresTheColumn) {
    Sh1106Emulator chip(Panel{});
    sendFrame(chip, 2);
    sendCommands(chip, {0xA0});
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return lopsided(127 - x, y); }), 0);
    sendCommands(chip, {0xB0, 0x05, 0x10, 0xE0});
    sendData(chip, {0xFF, 0xFF});
    EXPECT_EQ(chip.column(), 7);
    sendCommands(chip, {0xEE});
    EXPECT_EQ(chip.column(), 5);
}

TEST(EmuSh1106Test, ContrastResetsTo0x80AndTheDcDcConverterPowersTheGlass) {
    Sh1106Emulator chip(Panel{});
    sendFrame(chip, 2);
    EXPECT_EQ(chip.contrast(), 0x80);
    EXPECT_NEAR(chip.look().brightness, 0.5, 0.01);
    const ScreenImage shown = chip.screen();
    sendCommands(chip, {0xAD, 0x8A});
    EXPECT_EQ(chip.screen().litCount(), 0);
    EXPECT_EQ(chip.problems().total(), 1u) << "switched while the display is on\n" << chip.problems().text();
    sendCommands(chip, {0xAE, 0xAD, 0x8B, 0xAF, 0xA7});
    EXPECT_EQ(chip.problems().total(), 1u);
    EXPECT_EQ(pixelsDiffering(chip.screen(), [](int x, int y) { return 15 - lopsided(x, y); }), 0);
    EXPECT_EQ(chip.memoryImage(), shown);
}

} // namespace
} // namespace tessaranth::emu
