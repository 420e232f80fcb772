// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/NoritakeGu800Emulator.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tessaranth::emu {
namespace {

class EmuNoritakeTest : public ::testing::Test {
protected:
    NoritakeGu800Emulator vfd{128, 64};

    void commands(std::initializer_list<uint8_t> bytes) {
        for (uint8_t byte : bytes) vfd.writeCommand(byte);
    }
    void data(std::initializer_list<uint8_t> bytes) {
        for (uint8_t byte : bytes) vfd.writeData(byte);
    }
};

TEST_F(EmuNoritakeTest, AddressesComeAsCommandBytesAndDataAdvancesTheColumn) {
    commands({0x60, 2, 0x64, 126, 0x84});
    data({0x01, 0x02, 0x03});
    EXPECT_EQ(vfd.memory(2, 126), 0x01);
    EXPECT_EQ(vfd.memory(2, 127), 0x02);
    EXPECT_EQ(vfd.memory(2, 0), 0x03) << "the column wraps within the page";
    EXPECT_EQ(vfd.page(), 2);
    commands({0x88});
    data({0x04, 0x05});
    EXPECT_EQ(vfd.memory(2, 1), 0x04);
    EXPECT_EQ(vfd.memory(3, 1), 0x05);
    EXPECT_EQ(vfd.page(), 4);
    commands({0x80});
    data({0x06, 0x07});
    EXPECT_EQ(vfd.memory(4, 1), 0x07) << "without increment every byte lands on the same column";
    EXPECT_TRUE(vfd.problems().empty()) << vfd.problems().text();
}

TEST_F(EmuNoritakeTest, TheTwoLayersShowByOrWhenTurnedOn) {
    commands({0x84, 0x60, 0, 0x64, 10});
    data({0x01});
    commands({0x60, 8, 0x64, 10});
    data({0x03});
    commands({0x60, 9, 0x64, 20});
    data({0x80});
    EXPECT_EQ(vfd.screen().litCount(), 0) << "both layers are off until turned on";
    commands({0x24});
    EXPECT_EQ(vfd.screen().litCount(), 1);
    commands({0x28});
    EXPECT_TRUE(vfd.screen().pixel(10, 1));
    EXPECT_TRUE(vfd.screen().pixel(20, 15));
    EXPECT_EQ(vfd.screen().litCount(), 3);
    commands({0x2C});
    EXPECT_EQ(vfd.screen().litCount(), 3) << "(10,0) is lit in both layers";
    EXPECT_TRUE(vfd.layerOn(0) && vfd.layerOn(1));
}

TEST_F(EmuNoritakeTest, ClearEmptiesBothLayersAndHomesTheAddress) {
    commands({0x2C, 0x84, 0x60, 3, 0x64, 40});
    data({0xFF});
    commands({0x60, 12});
    data({0xFF});
    commands({0x5F});
    EXPECT_EQ(vfd.screen().litCount(), 0);
    EXPECT_EQ(vfd.memory(12, 41), 0);
    EXPECT_EQ(vfd.page(), 0);
    EXPECT_EQ(vfd.column(), 0);
}

TEST_F(EmuNoritakeTest, BrightnessDimsTheGlowFrom0x40Down) {
    commands({0x40});
    EXPECT_DOUBLE_EQ(vfd.look().brightness, 1.0);
    commands({0x48});
    EXPECT_DOUBLE_EQ(vfd.look().brightness, 0.5);
    commands({0x4F});
    EXPECT_EQ(vfd.brightnessLevel(), 15);
    EXPECT_EQ(vfd.look().kind, PanelKind::Vfd);
    EXPECT_GT(vfd.look().litColour().green, vfd.look().unlitColour().green);
}

TEST_F(EmuNoritakeTest, AreaSetTakesAnAreaCommandByteAndAKindDataByte) {
    commands({0x62, 0x00});
    data({0xFF});
    commands({0x2C});
    EXPECT_TRUE(vfd.problems().empty()) << vfd.problems().text();
    commands({0x62, 0x01, 0x2C});
    EXPECT_EQ(vfd.problems().total(), 1u) << "a command where the kind byte belongs";
}

TEST_F(EmuNoritakeTest, MisplacedBytesAndUnknownCommandsAreReported) {
    commands({0x60});
    data({0x05});  // the page number sent as data
    commands({0x60, 16});
    commands({0x10});
    EXPECT_EQ(vfd.problems().total(), 3u) << vfd.problems().text();
    EXPECT_EQ(vfd.busRead(true), std::nullopt);
    EXPECT_EQ(vfd.problems().total(), 4u);
}

} // namespace
} // namespace tessaranth::emu
