// SPDX-License-Identifier: GPL-2.0-or-later
// A display as the plug-in sees it through the host services: a controller emulator behind a
// parallel port or behind the USB adapter, built from the settings that describe the hardware.
#pragma once

#include "emu/Emulator.h"
#include "emu/Ks0108bEmulator.h"
#include "emu/ParallelPort.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tessaranth::emu {

class StrobedBus;
class Usb2LcdEmulator;

// The settings fields that describe the hardware, with the settings' own codes and defaults.
struct DisplaySetup {
    uint8_t controller = 0;     // 0 T6963C, 1 SED1330, 2 SED1335, 3 KS0108B, 5 Noritake 800(A), 6 USB2LCD
    uint8_t displayFormat = 0;  // 0 128x64, 1 128x128, 2 240x64, 3 240x128, 4 256x128, 5 320x200, 6 320x240, 7 192x64, 8 128x32
    uint8_t wiringCS = 0;       // wire choices: 0 pin 1, 1 pin 14, 2 pin 16, 3 pin 17
    uint8_t wiringA0 = 3;
    uint8_t wiringWR = 2;
    uint8_t wiringRD = 1;
    uint16_t lptAddress = 0x378;
    PanelKind lcdPanel = PanelKind::LcdGreen;  // the colour of an LCD module's panel
    // The level at which a KS0108B module's CS1 and CS2 select (128 wide: each its chip; 192
    // wide: through the module's decoder).
    Ks0108bEmulator::SelectLevel ks0108bSelect = Ks0108bEmulator::SelectLevel::ActiveHigh;
};

struct DisplaySize {
    int width;
    int height;
};

// Not thread-safe: a host that shows the screen from another thread than the one the plug-in
// runs on serialises the calls itself.
class VirtualDisplay {
public:
    // The display a setup describes; null, with the reason in `error` when given, for a
    // controller or display format that is not emulated.
    static std::unique_ptr<VirtualDisplay> create(const DisplaySetup& setup, std::string* error = nullptr);
    // The size of a display format; width and height 0 for an unknown format.
    static DisplaySize sizeOfFormat(uint8_t displayFormat);

    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // What the host services hand on. A display on the other interface reports each call.
    void writePort(uint16_t port, uint16_t value);
    uint16_t readPort(uint16_t port);
    int32_t usbOpen();
    int32_t usbSetBaudRate(uint32_t baud);
    int32_t usbWrite(const uint8_t* data, uint32_t length);
    void usbClose();

    ScreenImage screen() const { return emulator_->screen(); }
    PanelLook look() const { return emulator_->look(); }
    const ProblemLog& problems() const { return emulator_->problems(); }
    Emulator& emulator() { return *emulator_; }
    const Emulator& emulator() const { return *emulator_; }
    bool usesUsb() const { return usb_ != nullptr; }
    // "T6963C 240x128 on port 0x378", for a window title or a log.
    const std::string& description() const { return description_; }

private:
    VirtualDisplay() = default;
    bool build(const DisplaySetup& setup, DisplaySize size, std::string& error);
    template <class Chip>
    void attachStrobed(DisplaySize size);

    std::unique_ptr<Emulator> emulator_;
    std::unique_ptr<StrobedBus> strobedBus_;
    BusDevice* device_ = nullptr;  // what the port's lines reach
    std::unique_ptr<ParallelPort> port_;
    Usb2LcdEmulator* usb_ = nullptr;
    std::string description_;
};

} // namespace tessaranth::emu
