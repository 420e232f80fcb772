// SPDX-License-Identifier: GPL-2.0-or-later
// A display as the plug-in sees it through the host services: a controller emulator behind a
// parallel port, behind the USB adapter, or on the I2C or SPI bus, built from the settings that
// describe the hardware.
#pragma once

#include "emu/BusEmulator.h"
#include "emu/Emulator.h"
#include "emu/Ks0108bEmulator.h"
#include "emu/ParallelPort.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tessaranth::emu {

class StrobedBus;
class Usb2LcdEmulator;

// The settings fields that describe the hardware, with the settings' own codes and defaults.
struct DisplaySetup {
    // 0 T6963C, 1 SED1330, 2 SED1335, 3 KS0108B, 5 Noritake 800(A), 6 USB2LCD, 7 SSD1306,
    // 8 SSD1309, 9 SH1106, 10 ST7920, 11 SSD1322
    uint8_t controller = 0;
    // 0 128x64, 1 128x128, 2 240x64, 3 240x128, 4 256x128, 5 320x200, 6 320x240, 7 192x64,
    // 8 128x32, 10 256x64
    uint8_t displayFormat = 0;
    uint8_t wiringCS = 0;       // wire choices: 0 pin 1, 1 pin 14, 2 pin 16, 3 pin 17
    uint8_t wiringA0 = 3;
    uint8_t wiringWR = 2;
    uint8_t wiringRD = 1;
    uint16_t lptAddress = 0x378;
    // The colour of the module's panel; one the display does not come in is refused.
    PanelColour panel = PanelColour::usual;
    // The parallel-port controllers on GPIO lines instead of the LPT port: the offsets of the
    // lines of D0..D7 and of the control pins 1, 14, 16 and 17 (-1: not wired).
    bool parallelOnGpio = false;
    std::array<int32_t, 8> dataLines{-1, -1, -1, -1, -1, -1, -1, -1};
    std::array<int32_t, 4> controlLines{-1, -1, -1, -1};
    uint8_t i2cAddress = 0x3C;   // where an I2C display answers
    uint8_t sh1106FirstColumn = 2;  // the memory column an SH1106 module shows first (2 or 0)
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

    // What the host services hand on. A display on another interface reports each call.
    void writePort(uint16_t port, uint16_t value);
    uint16_t readPort(uint16_t port);
    int32_t usbOpen();
    int32_t usbSetBaudRate(uint32_t baud);
    int32_t usbWrite(const uint8_t* data, uint32_t length);
    void usbClose();

    // The buses of small boards. An open of a bus the display is not on fails with the reason
    // in `fault` (and in the problem log). Bytes reach the chip as they would go on the wire, on
    // a clock that runs with real time and with the time the bytes take on the wire.
    bool i2cOpen(uint8_t address7, std::string& fault);
    void i2cMessage(std::span<const uint8_t> bytesAfterAddress);
    bool spiOpen(uint32_t speedHz, std::string& fault);
    void spiTransfer(bool dcHigh, std::span<const uint8_t> bytes);
    void spiResetPulse(uint32_t microseconds);
    // A parallel-port display on GPIO lines: the lines asked for (each one the setup wires)
    // drive the port's pins, starting at the levels of `initial`, bit i for lines[i]; every
    // set drives the data lines, then the control lines, as one change of levels.
    bool gpioOpen(std::span<const uint32_t> lines, uint64_t initial, std::string& fault);
    void gpioSet(uint64_t bits, uint64_t mask);

    ScreenImage screen() const { return emulator_->screen(); }
    PanelLook look() const { return emulator_->look(); }
    const ProblemLog& problems() const { return emulator_->problems(); }
    Emulator& emulator() { return *emulator_; }
    const Emulator& emulator() const { return *emulator_; }
    bool usesUsb() const { return usb_ != nullptr; }
    // "T6963C 240x128 on port 0x378", "SSD1306 128x64 (white) on I2C at 0x3C", for a window
    // title or a log.
    const std::string& description() const { return description_; }

private:
    VirtualDisplay() = default;
    enum class Bus : uint8_t { none, i2c, spi };

    bool build(const DisplaySetup& setup, DisplaySize size, std::string& error);
    bool buildOnBus(const DisplaySetup& setup, DisplaySize size, std::string& error);
    template <class Chip>
    void attachStrobed(DisplaySize size);
    bool choosePanel(uint8_t controller, PanelColour colour, std::string& error);
    bool onBus(Bus bus, const char* what, std::string& fault);
    void driveGpioPins();
    uint64_t busMicros() const;

    std::unique_ptr<Emulator> emulator_;
    std::unique_ptr<StrobedBus> strobedBus_;
    BusDevice* device_ = nullptr;  // what the port's lines reach
    std::unique_ptr<ParallelPort> port_;
    Usb2LcdEmulator* usb_ = nullptr;
    BusEmulator* busChip_ = nullptr;
    Bus bus_ = Bus::none;
    PanelColour panelColour_ = PanelColour::usual;
    uint8_t i2cAddress_ = 0;
    // The pause the platform keeps after each SPI write to a chip without a busy flag.
    uint64_t spiGapMicros_ = 0;
    // The port's pins that the GPIO lines of the setup drive: D0..D7, then control pins 1, 14,
    // 16 and 17; and, for each line of the request, its pin (-1: none).
    bool onGpio_ = false;
    std::array<int32_t, 12> pinLines_{};
    std::array<int8_t, 64> requestPins_{};
    uint32_t requestLines_ = 0;
    uint64_t gpioLevels_ = 0;
    uint64_t wireMicros_ = 0;  // time on the wire and in pauses, beyond real time
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::string description_;
};

} // namespace tessaranth::emu
