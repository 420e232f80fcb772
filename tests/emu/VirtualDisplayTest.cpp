// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/HostServicesAdapter.h"
#include "platform/GpioParallelPort.h"
#include "platform/Platform.h"
#include "emu/Ks0108bEmulator.h"
#include "emu/Ssd1306Emulator.h"
#include "emu/St7920Emulator.h"
#include "emu/T6963CEmulator.h"
#include "emu/Usb2LcdEmulator.h"
#include "emu/VirtualDisplay.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

// One T6963C data or command write as a driver makes it with the given control-register masks,
// through registers that writeControl and writeData reach.
template <class Port>
void cycle(Port& port, uint8_t ce, uint8_t cd, uint8_t wr, bool command, uint8_t byte) {
    uint8_t control = 0x04;  // every pin high
    port.writeControl(control);
    if (!command) port.writeControl(control ^= cd);
    port.writeData(byte);
    port.writeControl(control ^= ce);
    port.writeControl(control ^= wr);
    port.writeControl(control ^= wr);
    port.writeControl(control ^= ce);
}

// The LPT port's registers of a virtual display.
struct PortRegisters {
    VirtualDisplay& display;
    uint16_t base;
    void writeData(uint8_t value) { display.writePort(base, value); }
    void writeControl(uint8_t value) { display.writePort(static_cast<uint16_t>(base + 2), value); }
};

TEST(EmuVirtualDisplayTest, FormatsGiveTheDisplaySizes) {
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(3).width, 240);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(3).height, 128);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(7).width, 192);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(8).height, 32);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(9).width, 0);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(10).width, 256);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(11).width, 0);
}

TEST(EmuVirtualDisplayTest, ControllersAndFormatsThatAreNotEmulatedAreRefusedWithAReason) {
    std::string error;
    EXPECT_EQ(VirtualDisplay::create({.controller = 4}, &error), nullptr);
    EXPECT_NE(error.find("HD61830"), std::string::npos);
    EXPECT_EQ(VirtualDisplay::create({.controller = 0, .displayFormat = 9}, &error), nullptr);
    EXPECT_NE(error.find("format 9"), std::string::npos);
    EXPECT_EQ(VirtualDisplay::create({.controller = 0, .displayFormat = 11}, &error), nullptr);
    EXPECT_NE(error.find("format 11"), std::string::npos);
    EXPECT_EQ(VirtualDisplay::create({.controller = 200}), nullptr);
}

TEST(EmuVirtualDisplayTest, EveryEmulatedControllerIsBuiltAtItsSize) {
    for (uint8_t controller : {0, 1, 2, 3, 5, 6}) {
        std::string error;
        const auto display = VirtualDisplay::create({.controller = controller, .displayFormat = 7}, &error);
        ASSERT_NE(display, nullptr) << error;
        EXPECT_EQ(display->screen().width(), 192);
        EXPECT_EQ(display->screen().height(), 64);
        EXPECT_EQ(display->look().kind, controller == 5 ? PanelKind::Vfd : PanelKind::LcdGreen);
    }
    const auto ks = VirtualDisplay::create({.controller = 3, .displayFormat = 7});
    EXPECT_EQ(static_cast<const Ks0108bEmulator&>(ks->emulator()).chipCount(), 3);
    std::string error;
    EXPECT_EQ(VirtualDisplay::create({.controller = 3, .displayFormat = 2}, &error), nullptr);
    EXPECT_NE(error.find("240"), std::string::npos);
}

TEST(EmuVirtualDisplayTest, AKs0108bCableCarriesEOnTheChipSelectWireAndRsOnTheCommandWire) {
    // Default wiring: E on pin 1, RS on pin 17, CS1 on pin 16, CS2 on pin 14; control 4 = all high.
    auto display = VirtualDisplay::create({.controller = 3, .displayFormat = 0});
    ASSERT_NE(display, nullptr);
    const auto control = [&](uint8_t value) { display->writePort(0x37A, value); };
    control(0x0B);  // all low: pin 1, 14, 17 inverted, pin 16 low
    display->writePort(0x378, 0x3F);
    control(0x0B ^ 0x04);         // CS1 high
    control(0x0B ^ 0x04 ^ 0x01);  // E high
    control(0x0B ^ 0x04);         // E falls
    const auto& module = static_cast<const Ks0108bEmulator&>(display->emulator());
    EXPECT_TRUE(module.chip(0).on);
    EXPECT_FALSE(module.chip(1).on);
    EXPECT_TRUE(display->problems().empty()) << display->problems().text();
}

TEST(EmuVirtualDisplayTest, AT6963COnThePortFollowsTheWiringAndAddressOfTheSetup) {
    // The SED1330 boards' cable: CS on pin 14, A0 on pin 16, WR on pin 1, RD on pin 17, at 0x278.
    auto display = VirtualDisplay::create(
        {.controller = 0, .displayFormat = 3, .wiringCS = 1, .wiringA0 = 2, .wiringWR = 0, .wiringRD = 3, .lptAddress = 0x278});
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->description(), "T6963C 240x128 on port 0x0278");
    EXPECT_EQ(display->screen().width(), 240);
    // Masks: CE pin 14 is bit 1, C/D pin 16 is bit 2 (not inverted: a command needs it high), WR pin 1 is bit 0.
    PortRegisters port{*display, 0x278};
    cycle(port, 0x02, 0x04, 0x01, false, 0x34);
    cycle(port, 0x02, 0x04, 0x01, false, 0x12);
    cycle(port, 0x02, 0x04, 0x01, true, 0x24);
    auto& chip = static_cast<T6963CEmulator&>(display->emulator());
    EXPECT_EQ(chip.addressPointer(), 0x1234);
    EXPECT_TRUE(display->problems().empty()) << display->problems().text();
    display->usbOpen();
    EXPECT_EQ(display->problems().total(), 1u) << "a port display has no USB device";
}

TEST(EmuVirtualDisplayTest, TheUsbAdapterTakesTheUsbCallsAndReportsPortAccess) {
    auto display = VirtualDisplay::create({.controller = 6, .displayFormat = 0, .panel = PanelColour::blue});
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(display->usesUsb());
    EXPECT_EQ(display->look().kind, PanelKind::LcdBlue);
    EXPECT_EQ(display->usbOpen(), 0);
    EXPECT_EQ(display->usbSetBaudRate(230400), 0);
    const uint8_t stream[] = {0x8F, 0x78, 0x8F, 0x22, 0x03, 0x00, 0x8F, 0x30};
    EXPECT_EQ(display->usbWrite(stream, sizeof stream), 0);
    auto& adapter = static_cast<Usb2LcdEmulator&>(display->emulator());
    EXPECT_EQ(adapter.adapterCommands().size(), 1u);
    EXPECT_EQ(display->problems().total(), 1u)  << "0x30 is no command";
    display->writePort(0x378, 0);
    EXPECT_EQ(display->problems().total(), 2u);
}

TEST(EmuHostServicesAdapterTest, TheServicesReachTheDisplayAndTheHooks) {
    auto display = VirtualDisplay::create({.controller = 6});
    ASSERT_NE(display, nullptr);
    HostServicesAdapter adapter(*display);
    TessaranthHostServices services = adapter.services();
    EXPECT_EQ(services.version, static_cast<uint32_t>(TESSARANTH_HOST_SERVICES_VERSION));
    EXPECT_EQ(services.messageBox, nullptr) << "without a hook the plug-in keeps its own message box";
    EXPECT_EQ(services.sleepMillis, nullptr);
    EXPECT_EQ(services.usbOpen(services.context), 0);
    const uint8_t stream[] = {0x8F, 0x79};
    services.usbWrite(services.context, stream, sizeof stream);
    services.usbClose(services.context);
    auto& usb = static_cast<Usb2LcdEmulator&>(display->emulator());
    EXPECT_EQ(usb.calls(), (std::vector<std::string>{"open", "write 2", "close"}));

    std::vector<std::string> boxes;
    uint32_t slept = 0;
    adapter.messageBox = [&](const char* text, const char* caption, uint32_t) {
        boxes.push_back(std::string(caption) + ": " + text);
        return 1;
    };
    adapter.sleep = [&](uint32_t milliseconds) { slept += milliseconds; };
    services = adapter.services();
    EXPECT_EQ(services.messageBox(services.context, "text", "Tessaranth", 0x30), 1);
    EXPECT_EQ(services.messageBox(services.context, nullptr, nullptr, 0x30), 1);
    services.sleepMillis(services.context, 25);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Tessaranth: text", ": "}));
    EXPECT_EQ(slept, 25u);
}

// Today's modules: each chip at the sizes its modules come in, in its usual colour or the one
// asked for; a size or colour the modules do not come in is refused with what they do.
TEST(EmuVirtualDisplayTest, TheBusDisplaysComeAtTheirSizesInTheirPanelsColours) {
    struct Case {
        uint8_t controller, displayFormat;
        PanelColour colour;
        PanelKind kind;
        const char* description;
    };
    for (const Case& c : {Case{7, 0, PanelColour::usual, PanelKind::OledWhite, "SSD1306 128x64 (white) on I2C at 0x3C"},
                          Case{7, 8, PanelColour::blue, PanelKind::OledBlue, "SSD1306 128x32 (blue) on I2C at 0x3C"},
                          Case{8, 0, PanelColour::yellowBlue, PanelKind::OledYellowBlue, "SSD1309 128x64 (yellow-blue) on I2C at 0x3C"},
                          Case{9, 0, PanelColour::usual, PanelKind::OledWhite, "SH1106 128x64 (white) on I2C at 0x3C"},
                          Case{10, 0, PanelColour::usual, PanelKind::StnBlue, "ST7920 128x64 (blue) on SPI"},
                          Case{10, 0, PanelColour::yellowGreen, PanelKind::StnYellowGreen, "ST7920 128x64 (yellow-green) on SPI"},
                          Case{11, 10, PanelColour::usual, PanelKind::OledYellow, "SSD1322 256x64 (amber) on SPI"},
                          Case{11, 10, PanelColour::white, PanelKind::OledWhite, "SSD1322 256x64 (white) on SPI"}}) {
        std::string error;
        const auto display = VirtualDisplay::create({.controller = c.controller, .displayFormat = c.displayFormat, .panel = c.colour}, &error);
        ASSERT_NE(display, nullptr) << error;
        EXPECT_EQ(display->look().kind, c.kind) << c.description;
        EXPECT_EQ(display->description(), c.description);
        EXPECT_EQ(display->screen().width(), VirtualDisplay::sizeOfFormat(c.displayFormat).width);
        EXPECT_EQ(display->screen().height(), VirtualDisplay::sizeOfFormat(c.displayFormat).height);
    }
    std::string error;
    EXPECT_EQ(VirtualDisplay::create({.controller = 7, .displayFormat = 3}, &error), nullptr);
    EXPECT_EQ(error, "SSD1306 modules are 128x64 or 128x32, not 240x128");
    EXPECT_EQ(VirtualDisplay::create({.controller = 10, .displayFormat = 8}, &error), nullptr);
    EXPECT_EQ(error, "ST7920 modules are 128x64, not 128x32");
    EXPECT_EQ(VirtualDisplay::create({.controller = 11, .displayFormat = 0}, &error), nullptr);
    EXPECT_EQ(error, "SSD1322 modules are 256x64, not 128x64");
    EXPECT_EQ(VirtualDisplay::create({.controller = 9, .panel = PanelColour::amber}, &error), nullptr);
    EXPECT_EQ(error, "SH1106 panels are white, blue or yellow-blue, not amber");
    EXPECT_EQ(VirtualDisplay::create({.controller = 0, .panel = PanelColour::white}, &error), nullptr);
    EXPECT_EQ(error, "T6963C panels are green or blue, not white");
    EXPECT_EQ(VirtualDisplay::create({.controller = 5, .panel = PanelColour::blue}, &error), nullptr);
    EXPECT_EQ(error, "Noritake 800 panels come in one colour only");
    EXPECT_EQ(panelColourNamed("yellow-green"), PanelColour::yellowGreen);
    EXPECT_EQ(panelColourNamed("purple"), std::nullopt);
}

// The plug-in's bus services reach the chip: an I2C display takes messages at the address it
// was opened at; the other buses and GPIO lines fail to open with the reason, and never reach
// the machine's own devices.
TEST(EmuHostServicesAdapterTest, AnI2cDisplayTakesTheMessagesAndRefusesTheOtherBuses) {
    auto display = VirtualDisplay::create({.controller = 7});
    ASSERT_NE(display, nullptr);
    HostServicesAdapter adapter(*display);
    const TessaranthHostServices s = adapter.services();
    char fault[128] = "";
    const int32_t handle = s.i2cOpen(s.context, "/dev/i2c-1", 0x3C, fault, sizeof fault);
    ASSERT_EQ(handle, 0) << fault;
    const uint8_t commands[] = {0x00, 0x8D, 0x14, 0xAF};  // charge pump on, display on
    const uint8_t data[] = {0x40, 0xFF};                    // one column of 8 dots
    const TessaranthI2cMessage messages[] = {{commands, sizeof commands}, {data, sizeof data}};
    EXPECT_EQ(s.i2cWrite(s.context, handle, messages, 2), 0);
    const auto& chip = static_cast<const Ssd1306Emulator&>(display->emulator());
    EXPECT_TRUE(chip.displayOn());
    EXPECT_EQ(chip.column(), 1);
    EXPECT_NE(s.i2cWrite(s.context, handle, nullptr, 1), 0);
    EXPECT_TRUE(display->problems().empty()) << display->problems().text();

    EXPECT_EQ(s.spiOpen(s.context, "/dev/spidev0.0", 0, 8'000'000, fault, sizeof fault), -1);
    EXPECT_STREQ(fault, "the virtual display is SSD1306 128x64 (white) on I2C at 0x3C, not on SPI");
    const uint32_t lines[] = {4, 5};
    EXPECT_EQ(s.gpioOpen(s.context, "gpiochip0", lines, 2, 0, fault, 16), -1) << "no display of the setup's GPIO lines";
    EXPECT_EQ(std::string(fault).size(), 15u) << "cut to the buffer";
    EXPECT_EQ(display->problems().total(), 2u);
}

// A T6963C on GPIO lines: the platform's parallel port of lines, through the host services,
// drives the port's pins as the lines say, so the chip sees the cycles the driver made.
TEST(EmuHostServicesAdapterTest, AParallelDisplayOnGpioLinesSeesTheCyclesOfTheLines) {
    DisplaySetup setup{.controller = 0, .displayFormat = 3, .parallelOnGpio = true};
    for (int bit = 0; bit < 8; ++bit) setup.dataLines[static_cast<std::size_t>(bit)] = 2 + bit;
    setup.controlLines = {20, 21, 22, 23};  // pins 1, 14, 16, 17
    auto display = VirtualDisplay::create(setup);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->description(), "T6963C 240x128 on GPIO lines");
    HostServicesAdapter adapter(*display);
    const TessaranthHostServices services = adapter.services();
    platform::setHostServices(&services);
    {
        platform::ParallelLines lines;
        lines.chip = "gpiochip0";
        std::copy(setup.dataLines.begin(), setup.dataLines.end(), lines.data);
        std::copy(setup.controlLines.begin(), setup.controlLines.end(), lines.control);
        platform::GpioParallelPort port(lines);
        ASSERT_TRUE(port.open()) << port.fault().text();
        // The default cable: CE on pin 1 (bit 0), C/D on pin 17 (bit 3), WR on pin 16 (bit 2).
        cycle(port, 0x01, 0x08, 0x04, false, 0x34);
        cycle(port, 0x01, 0x08, 0x04, false, 0x12);
        cycle(port, 0x01, 0x08, 0x04, true, 0x24);
        port.flush();
    }
    platform::setHostServices(nullptr);
    EXPECT_EQ(static_cast<T6963CEmulator&>(display->emulator()).addressPointer(), 0x1234);
    EXPECT_TRUE(display->problems().empty()) << display->problems().text();
}

// An SPI display runs on a clock of real time and wire time: the ST7920, which has no busy
// flag, is given the pause the platform keeps after each instruction, so the plug-in's paced
// writes are never too close together.
TEST(EmuHostServicesAdapterTest, AnSpiDisplayTakesTransfersWithTheirPaceAndTheResetLine) {
    auto display = VirtualDisplay::create({.controller = 10});
    ASSERT_NE(display, nullptr);
    HostServicesAdapter adapter(*display);
    const TessaranthHostServices s = adapter.services();
    char fault[128] = "";
    const int32_t handle = s.spiOpen(s.context, "/dev/spidev0.0", 4, 1'000'000, fault, sizeof fault);
    ASSERT_EQ(handle, 0) << fault;
    EXPECT_EQ(s.spiResetPulse(s.context, handle, 100), 0);
    // Function set (graphics on, extended) and display on, one instruction a write.
    for (uint8_t instruction : {0x30, 0x0C, 0x36}) {
        const uint8_t frame[] = {0xF8, static_cast<uint8_t>(instruction & 0xF0), static_cast<uint8_t>(instruction << 4)};
        EXPECT_EQ(s.spiWrite(s.context, handle, 0, frame, sizeof frame), 0);
    }
    const auto& chip = static_cast<const St7920Emulator&>(display->emulator());
    EXPECT_TRUE(chip.displayOn());
    EXPECT_TRUE(chip.graphicsOn());
    EXPECT_TRUE(display->problems().empty()) << display->problems().text();
    EXPECT_EQ(s.i2cOpen(s.context, "/dev/i2c-1", 0x3C, fault, sizeof fault), -1);
    EXPECT_STREQ(fault, "the virtual display is ST7920 128x64 (blue) on SPI, not on I2C");
}

} // namespace
} // namespace tessaranth::emu
