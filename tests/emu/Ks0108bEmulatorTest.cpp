// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Ks0108bEmulator.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

using Level = Ks0108bEmulator::SelectLevel;

TEST(EmuKs0108bTest, DataGoesToPageAndColumnAndTheColumnWrapsWithinThePage) {
    Ks0108bEmulator module(128, 64, 2, Level::ActiveHigh);
    module.write(1, false, 0xB8 | 3);
    module.write(1, false, 0x40 | 62);
    module.write(1, true, 0x11);
    module.write(1, true, 0x22);
    module.write(1, true, 0x33);
    const auto& chip = module.chip(0);
    EXPECT_EQ(chip.ram[3 * 64 + 62], 0x11);
    EXPECT_EQ(chip.ram[3 * 64 + 63], 0x22);
    EXPECT_EQ(chip.ram[3 * 64 + 0], 0x33) << "from 63 to 0 on the same page";
    EXPECT_EQ(chip.page, 3);
    EXPECT_EQ(chip.column, 1);
    EXPECT_TRUE(module.problems().empty()) << module.problems().text();
}

TEST(EmuKs0108bTest, AColumnByteShowsBit0OnTopOnceTheChipIsOn) {
    Ks0108bEmulator module(128, 64, 2, Level::ActiveHigh);
    module.write(2, false, 0xB8 | 1);
    module.write(2, false, 0x40 | 5);
    module.write(2, true, 0x81);
    EXPECT_EQ(module.screen().litCount(), 0) << "a chip starts with its display off";
    module.write(3, false, 0x3F);
    const ScreenImage image = module.screen();
    EXPECT_TRUE(image.pixel(64 + 5, 8));
    EXPECT_TRUE(image.pixel(64 + 5, 15));
    EXPECT_EQ(image.litCount(), 2);
    module.write(2, false, 0x3E);
    EXPECT_EQ(module.screen().litCount(), 0);
}

TEST(EmuKs0108bTest, TheStartLineIsTheRamRowShownAtTheTop) {
    Ks0108bEmulator module(128, 64, 2, Level::ActiveHigh);
    module.write(1, false, 0x3F);
    module.write(1, false, 0xB8 | 1);
    module.write(1, false, 0x40);
    module.write(1, true, 0x01);  // RAM row 8
    module.write(1, false, 0xC0 | 8);
    EXPECT_TRUE(module.screen().pixel(0, 0));
    module.write(1, false, 0xC0 | 16);
    EXPECT_TRUE(module.screen().pixel(0, 56)) << "rows wrap around: RAM row 8 is 56 below RAM row 16";
}

TEST(EmuKs0108bTest, TwoChipsAreSelectedEachByItsOwnLineAtTheChosenLevel) {
    const Ks0108bEmulator high(128, 64, 2, Level::ActiveHigh);
    EXPECT_EQ(high.selectedChips(true, false), 1u);
    EXPECT_EQ(high.selectedChips(false, true), 2u);
    EXPECT_EQ(high.selectedChips(true, true), 3u);
    EXPECT_EQ(high.selectedChips(false, false), 0u);
    const Ks0108bEmulator low(128, 64, 2, Level::ActiveLow);
    EXPECT_EQ(low.selectedChips(false, true), 1u);
    EXPECT_EQ(low.selectedChips(true, true), 0u);
}

TEST(EmuKs0108bTest, ThreeChipsAreDecodedFromTheTwoLines) {
    const Ks0108bEmulator module(192, 64, 3, Level::ActiveHigh);
    EXPECT_EQ(module.selectedChips(false, false), 1u);
    EXPECT_EQ(module.selectedChips(false, true), 2u);
    EXPECT_EQ(module.selectedChips(true, false), 4u);
    EXPECT_EQ(module.selectedChips(true, true), 0u);
}

// E on pin 1, RS on pin 17, CS1 on pin 16, CS2 on pin 14.
class EmuKs0108bBusTest : public ::testing::Test {
protected:
    Ks0108bEmulator module{192, 64, 3, Level::ActiveHigh};
    ParallelPort port{0x378, {PortPin::Strobe, PortPin::SelectIn, PortPin::Init, PortPin::AutoFeed}, module, module.problems()};

    // Pin levels as bits: E, RS, CS1, CS2.
    void lines(bool e, bool rs, bool cs1, bool cs2) {
        uint8_t pins = static_cast<uint8_t>((e ? 0x01 : 0) | (cs2 ? 0x02 : 0) | (cs1 ? 0x04 : 0) | (rs ? 0x08 : 0));
        port.write(0x37A, pins ^ 0x0B);
    }
    void cycle(bool rs, bool cs1, bool cs2, uint8_t byte) {
        lines(false, rs, cs1, cs2);
        port.write(0x378, byte);
        lines(true, rs, cs1, cs2);
        lines(false, rs, cs1, cs2);
    }
};

TEST_F(EmuKs0108bBusTest, AWriteIsLatchedOnTheFallingEdgeOfE) {
    lines(false, false, false, true);
    port.write(0x378, 0x3F);
    lines(true, false, false, true);
    EXPECT_FALSE(module.chip(1).on) << "nothing happens on the rising edge";
    lines(false, false, false, true);
    EXPECT_TRUE(module.chip(1).on);
    EXPECT_FALSE(module.chip(0).on);
    EXPECT_FALSE(module.chip(2).on);
}

TEST_F(EmuKs0108bBusTest, RsHighWritesDataToTheDecodedChip) {
    cycle(false, true, false, 0x3F);
    cycle(true, true, false, 0xFF);
    EXPECT_EQ(module.chip(2).ram[0], 0xFF);
    EXPECT_EQ(module.screen().litCount(), 8);
    EXPECT_TRUE(module.screen().pixel(128, 7));
    cycle(true, true, true, 0x55);
    ASSERT_EQ(module.problems().total(), 1u) << "both lines raised select no chip on a three-chip module";
    EXPECT_NE(module.problems().messages()[0].find("no chip"), std::string::npos);
}

TEST(EmuKs0108bTest, UnknownInstructionsAreReported) {
    Ks0108bEmulator module(128, 64, 2, Level::ActiveHigh);
    module.write(1, false, 0x10);
    module.write(1, false, 0x80);
    EXPECT_EQ(module.problems().total(), 2u);
}

} // namespace
} // namespace tessaranth::emu
