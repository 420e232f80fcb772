// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/HostServicesAdapter.h"
#include "emu/Ks0108bEmulator.h"
#include "emu/T6963CEmulator.h"
#include "emu/Usb2LcdEmulator.h"
#include "emu/VirtualDisplay.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

// One T6963C data or command write as a driver makes it with the given control-register masks.
void cycle(VirtualDisplay& display, uint16_t base, uint8_t ce, uint8_t cd, uint8_t wr, bool command, uint8_t byte) {
    uint8_t control = 0x04;  // every pin high
    display.writePort(static_cast<uint16_t>(base + 2), control);
    if (!command) display.writePort(static_cast<uint16_t>(base + 2), control ^= cd);
    display.writePort(base, byte);
    display.writePort(static_cast<uint16_t>(base + 2), control ^= ce);
    display.writePort(static_cast<uint16_t>(base + 2), control ^= wr);
    display.writePort(static_cast<uint16_t>(base + 2), control ^= wr);
    display.writePort(static_cast<uint16_t>(base + 2), control ^= ce);
}

TEST(EmuVirtualDisplayTest, FormatsGiveTheDisplaySizes) {
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(3).width, 240);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(3).height, 128);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(7).width, 192);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(8).height, 32);
    EXPECT_EQ(VirtualDisplay::sizeOfFormat(9).width, 0);
}

TEST(EmuVirtualDisplayTest, ControllersAndFormatsThatAreNotEmulatedAreRefusedWithAReason) {
    std::string error;
    EXPECT_EQ(VirtualDisplay::create({.controller = 4}, &error), nullptr);
    EXPECT_NE(error.find("HD61830"), std::string::npos);
    EXPECT_EQ(VirtualDisplay::create({.controller = 0, .displayFormat = 9}, &error), nullptr);
    EXPECT_NE(error.find("format 9"), std::string::npos);
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
    cycle(*display, 0x278, 0x02, 0x04, 0x01, false, 0x34);
    cycle(*display, 0x278, 0x02, 0x04, 0x01, false, 0x12);
    cycle(*display, 0x278, 0x02, 0x04, 0x01, true, 0x24);
    auto& chip = static_cast<T6963CEmulator&>(display->emulator());
    EXPECT_EQ(chip.addressPointer(), 0x1234);
    EXPECT_TRUE(display->problems().empty()) << display->problems().text();
    display->usbOpen();
    EXPECT_EQ(display->problems().total(), 1u) << "a port display has no USB device";
}

TEST(EmuVirtualDisplayTest, TheUsbAdapterTakesTheUsbCallsAndReportsPortAccess) {
    auto display = VirtualDisplay::create({.controller = 6, .displayFormat = 0, .lcdPanel = PanelKind::LcdBlue});
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

} // namespace
} // namespace tessaranth::emu
