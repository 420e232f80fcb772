// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/VirtualDisplay.h"

#include "emu/NoritakeGu800Emulator.h"
#include "emu/Sed133xEmulator.h"
#include "emu/StrobedBus.h"
#include "emu/T6963CEmulator.h"
#include "emu/Usb2LcdEmulator.h"

#include <array>

namespace tessaranth::emu {

namespace {

enum Controller : uint8_t { T6963C = 0, SED1330 = 1, SED1335 = 2, KS0108B = 3, HD61830 = 4, Noritake = 5, USB2LCD = 6 };

constexpr std::array<DisplaySize, 9> kFormats{{
    {128, 64}, {128, 128}, {240, 64}, {240, 128}, {256, 128}, {320, 200}, {320, 240}, {192, 64}, {128, 32}}};

const char* controllerName(uint8_t controller) {
    switch (controller) {
    case T6963C: return "T6963C";
    case SED1330: return "SED1330";
    case SED1335: return "SED1335";
    case KS0108B: return "KS0108B";
    case HD61830: return "HD61830";
    case Noritake: return "Noritake 800";
    case USB2LCD: return "USB2LCD";
    default: return "unknown controller";
    }
}

// The cable as the settings describe it; every emulator orders its four signals the way the
// settings list them (CS, A0, WR, RD).
Wiring wiringOf(const DisplaySetup& setup) {
    return {pinOfWireChoice(setup.wiringCS), pinOfWireChoice(setup.wiringA0), pinOfWireChoice(setup.wiringWR),
            pinOfWireChoice(setup.wiringRD)};
}

} // namespace

DisplaySize VirtualDisplay::sizeOfFormat(uint8_t displayFormat) {
    return displayFormat < kFormats.size() ? kFormats[displayFormat] : DisplaySize{0, 0};
}

VirtualDisplay::~VirtualDisplay() = default;

std::unique_ptr<VirtualDisplay> VirtualDisplay::create(const DisplaySetup& setup, std::string* error) {
    const DisplaySize size = sizeOfFormat(setup.displayFormat);
    std::string reason;
    std::unique_ptr<VirtualDisplay> display(new VirtualDisplay);
    if (size.width == 0)
        reason = "display format " + std::to_string(setup.displayFormat) + " is not emulated";
    else if (display->build(setup, size, reason))
        return display;
    if (error) *error = reason;
    return nullptr;
}

template <class Chip>
void VirtualDisplay::attachStrobed(DisplaySize size) {
    auto chip = std::make_unique<Chip>(size.width, size.height);
    strobedBus_ = std::make_unique<StrobedBus>(*chip);
    device_ = strobedBus_.get();
    emulator_ = std::move(chip);
}

bool VirtualDisplay::build(const DisplaySetup& setup, DisplaySize size, std::string& error) {
    const std::string name = controllerName(setup.controller);
    const std::string sizeText = std::to_string(size.width) + "x" + std::to_string(size.height);
    switch (setup.controller) {
    case T6963C: attachStrobed<T6963CEmulator>(size); break;
    case SED1330:
    case SED1335: attachStrobed<Sed133xEmulator>(size); break;
    case Noritake: attachStrobed<NoritakeGu800Emulator>(size); break;
    case KS0108B: {
        if (size.width != 128 && size.width != 192) {
            error = "KS0108B modules are 128 or 192 pixels wide, not " + std::to_string(size.width);
            return false;
        }
        auto chip = std::make_unique<Ks0108bEmulator>(size.width, size.height, size.width / 64, setup.ks0108bSelect);
        device_ = chip.get();
        emulator_ = std::move(chip);
        break;
    }
    case USB2LCD: {
        auto chip = std::make_unique<Usb2LcdEmulator>(size.width, size.height);
        usb_ = chip.get();
        emulator_ = std::move(chip);
        emulator_->setPanelKind(setup.lcdPanel);
        description_ = name + " " + sizeText + " on USB";
        return true;
    }
    default:
        error = name + " (controller " + std::to_string(setup.controller) + ") is not emulated";
        return false;
    }
    emulator_->setPanelKind(setup.lcdPanel);
    port_ = std::make_unique<ParallelPort>(setup.lptAddress, wiringOf(setup), *device_, emulator_->problems());
    description_ = name + " " + sizeText + " on port " + hexText(setup.lptAddress);
    return true;
}

void VirtualDisplay::writePort(uint16_t port, uint16_t value) {
    if (port_)
        port_->write(port, value);
    else
        emulator_->problems().report("port write " + hexText(port) + " <- " + hexText(value) + " to a display on USB");
}

uint16_t VirtualDisplay::readPort(uint16_t port) {
    if (port_) return port_->read(port);
    emulator_->problems().report("port read " + hexText(port) + " from a display on USB");
    return 0xFF;
}

int32_t VirtualDisplay::usbOpen() {
    if (usb_) return usb_->open();
    emulator_->problems().report("USB device opened for a display on the parallel port");
    return 2;  // the device library's "device not found"
}

int32_t VirtualDisplay::usbSetBaudRate(uint32_t baud) {
    if (usb_) return usb_->setBaudRate(baud);
    emulator_->problems().report("USB baud rate set for a display on the parallel port");
    return 1;
}

int32_t VirtualDisplay::usbWrite(const uint8_t* data, uint32_t length) {
    if (usb_) return usb_->write(data, length);
    emulator_->problems().report("USB write for a display on the parallel port");
    return 1;
}

void VirtualDisplay::usbClose() {
    if (usb_) return usb_->close();
    emulator_->problems().report("USB close for a display on the parallel port");
}

} // namespace tessaranth::emu
