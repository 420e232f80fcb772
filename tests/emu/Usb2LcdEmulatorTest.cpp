// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Usb2LcdEmulator.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessaranth::emu {
namespace {

class EmuUsb2LcdTest : public ::testing::Test {
protected:
    Usb2LcdEmulator adapter{128, 64};

    void send(const std::vector<uint8_t>& bytes) {
        adapter.write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    void openAtSpeed() {
        adapter.open();
        adapter.setBaudRate(230400);
    }
};

TEST_F(EmuUsb2LcdTest, TheAdapterSetsItsModuleUpAt240x128WithCgRamAtOffset3) {
    EXPECT_EQ(adapter.textHome(), 0);
    EXPECT_EQ(adapter.textArea(), 40);
    EXPECT_EQ(adapter.graphicHome(), 0x300);
    EXPECT_EQ(adapter.graphicArea(), 40);
    EXPECT_EQ(adapter.cgRamBase(), 0x1800);
    EXPECT_EQ(adapter.screen().litCount(), 0) << "the display stays off until the plug-in turns it on";
    EXPECT_TRUE(adapter.problems().empty()) << adapter.problems().text();
}

TEST_F(EmuUsb2LcdTest, TextOverASolidGraphicBarShowsInverted) {
    openAtSpeed();
    send({0x8F, 0x9C, 0x8F, 0x24, 0x00, 0x03, 0x8F, 0xB0, 0x3F, 0x8F, 0xB2});  // graphic row 0 of cell 0 lit
    send({0x8F, 0x24, 0x00, 0x00, 0x8F, 0xC0, 'I' - 0x20});
    const ScreenImage image = adapter.screen();
    std::string bits;
    for (int x = 0; x < 6; ++x) bits += image.pixel(x, 0) ? '#' : '.';
    EXPECT_EQ(bits, "#...##");
}

TEST_F(EmuUsb2LcdTest, APrefixedByteIsACommandAndEveryOtherByteData) {
    openAtSpeed();
    send({0x8F, 0x24, 0x00, 0x02, 0x8F, 0xB0, 0x21, 0x22, 0x8F, 0xB2});
    EXPECT_EQ(adapter.memory(0x0200), 0x21);
    EXPECT_EQ(adapter.memory(0x0201), 0x22);
    EXPECT_EQ(adapter.addressPointer(), 0x0202);
    EXPECT_TRUE(adapter.problems().empty()) << adapter.problems().text();
}

TEST_F(EmuUsb2LcdTest, TheFramingCarriesOverFromOneWriteToTheNext) {
    openAtSpeed();
    send({0x8F});
    send({0x24, 0x10});
    send({0x00, 0x8F});
    send({0xC0});
    EXPECT_EQ(adapter.memory(0x0010), 0) << "0xC0 waits for its parameter byte";
    send({0x41});
    EXPECT_EQ(adapter.memory(0x0010), 0x41);
    EXPECT_EQ(adapter.addressPointer(), 0x0011);
    EXPECT_TRUE(adapter.problems().empty()) << adapter.problems().text();
}

TEST_F(EmuUsb2LcdTest, ParametersInTheChipsOrderBeforeTheCommandAreReported) {
    openAtSpeed();
    send({0x10, 0x00, 0x8F, 0x24, 0x8F, 0x98});
    EXPECT_EQ(adapter.addressPointer(), 0) << "0x24 never got its parameters";
    EXPECT_EQ(adapter.problems().total(), 2u) << adapter.problems().text();
}

TEST_F(EmuUsb2LcdTest, TheAdaptersOwnCommandsAreRecordedAndNotPassedOn) {
    openAtSpeed();
    send({0x8F, 0x78, 0x8F, 0x72, 0x8F, 0xC0, 0x55, 0x8F, 0x79});
    EXPECT_EQ(adapter.adapterCommands(), (std::vector<uint8_t>{0x78, 0x72, 0x79}));
    EXPECT_EQ(adapter.memory(0), 0x55) << "data around adapter commands still reaches the display";
    EXPECT_TRUE(adapter.problems().empty()) << adapter.problems().text();
}

TEST_F(EmuUsb2LcdTest, DeviceCallsAreRecordedAndMisuseReported) {
    send({0x8F, 0x98});
    EXPECT_EQ(adapter.problems().total(), 1u) << "written before open";
    adapter.open();
    adapter.setBaudRate(9600);
    send({0x8F, 0x98});
    adapter.close();
    adapter.close();
    EXPECT_EQ(adapter.calls(), (std::vector<std::string>{"write 2", "open", "baud 9600", "write 2", "close", "close"}));
    EXPECT_EQ(adapter.problems().total(), 4u) << adapter.problems().text();
    EXPECT_FALSE(adapter.isOpen());
}

TEST_F(EmuUsb2LcdTest, AnUnknownCommandInTheStreamIsReported) {
    openAtSpeed();
    send({0x8F, 0x77});
    ASSERT_EQ(adapter.problems().total(), 1u);
    EXPECT_NE(adapter.problems().messages()[0].find("0x77"), std::string::npos);
}

} // namespace
} // namespace tessaranth::emu
