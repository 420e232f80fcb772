// SPDX-License-Identifier: GPL-2.0-or-later
#include "EmulatedPlugin.h"

#include "emu/NoritakeGu800Emulator.h"
#include "emu/T6963CEmulator.h"
#include "emu/Usb2LcdEmulator.h"

#include <gtest/gtest-spi.h>

namespace tessaranth::test {
namespace {

// The T6963C behind the parallel port and behind the USB adapter.
class EmuEndToEnd : public EmulatedPlugin, public ::testing::WithParamInterface<uint8_t> {};

TEST_P(EmuEndToEnd, StartUpLeavesNoProblemAndDefinesTheSixteenBarGlyphsInCgRam) {
    attachDisplay({.controller = GetParam(), .displayFormat = 3});
    init();
    expectNoProblems();
    const auto& chip = static_cast<const emu::T6963CEmulator&>(display->emulator());
    for (int index = 0; index < 16; ++index) {
        const int lit = index % 8 + 1;
        for (int row = 0; row < 8; ++row) {
            const bool on = index < 8 ? row >= 8 - lit : row < lit;
            EXPECT_EQ(chip.memory(static_cast<uint16_t>(chip.cgRamBase() + (0x80 + index) * 8 + row)), on ? 0x1F : 0x00)
                << "glyph " << index << " row " << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Controllers, EmuEndToEnd, ::testing::Values(uint8_t{0}, uint8_t{6}),
                         [](const ::testing::TestParamInfo<uint8_t>& param) { return param.param == 0 ? "T6963C" : "USB2LCD"; });

using EmuUsbSession = EmulatedPlugin;

TEST_F(EmuUsbSession, TheAdapterIsOpenedAtItsSpeedGivenItsOwnCommandsAndClosed) {
    attachDisplay({.controller = 6, .displayFormat = 0});
    init();
    render(2);
    quit();
    const auto& usb = static_cast<const emu::Usb2LcdEmulator&>(display->emulator());
    EXPECT_EQ(usb.calls().front(), "open");
    EXPECT_EQ(usb.calls()[1], "baud 230400");
    EXPECT_EQ(usb.calls().back(), "close");
    EXPECT_EQ(usb.adapterCommands(), (std::vector<uint8_t>{0x72, 0x78, 0x79}));
    EXPECT_FALSE(usb.isOpen());
    expectNoProblems();
}

using EmuVfdSession = EmulatedPlugin;

TEST_F(EmuVfdSession, QuitFadesTheVfdOutAndClearsIt) {
    attachDisplay({.controller = 5, .displayFormat = 0});
    playStandardTrack();
    init();
    render(2);
    EXPECT_GT(display->screen().litCount(), 0);
    quit();
    const auto& vfd = static_cast<const emu::NoritakeGu800Emulator&>(display->emulator());
    EXPECT_EQ(vfd.brightnessLevel(), 15);
    EXPECT_EQ(display->screen().litCount(), 0);
    EXPECT_GE(sleptMillis, 1500u) << "sixteen steps 100 ms apart";
    expectNoProblems();
}

// The harness itself: a byte the controller does not understand fails the test.
TEST_F(EmuUsbSession, AnUnknownCommandOnTheWireFailsTheTest) {
    attachDisplay({.controller = 0, .displayFormat = 3});
    init();
    display->writePort(0x37A, 0x04);
    display->writePort(0x378, 0x7E);
    display->writePort(0x37A, 0x05);  // CE low, C/D high
    display->writePort(0x37A, 0x01);  // WR low
    display->writePort(0x37A, 0x05);
    display->writePort(0x37A, 0x04);
    static const emu::VirtualDisplay* shown;
    shown = display.get();
    EXPECT_NONFATAL_FAILURE(expectUnderstood(*shown), "unknown command 0x7E");
}

} // namespace
} // namespace tessaranth::test
