// SPDX-License-Identifier: GPL-2.0-or-later
// What the emulators of today's displays offer a transport: the chip as the kernel's I2C, SPI
// and GPIO interfaces reach it. A transport (or a test) hands each emulator the bus traffic
// exactly as it goes on the wire; the emulator decodes it as the chip's datasheet does and
// reports in its problem log whatever the chip would not understand or would not survive
// (a wrong address, a clock beyond the chip's rating, bytes too close together).
//
// Every emulator starts as the chip does at power-on: registers at their reset values, display
// off, and display memory in a fixed arbitrary pattern (unless the panel says cleared), so that
// a driver that shows memory it never wrote shows noise.
#pragma once

#include "emu/Emulator.h"
#include "emu/ScreenImage.h"

#include <cstdint>
#include <span>

namespace tessaranth::emu {

// What display memory holds before the driver writes it.
enum class PowerOnRam : uint8_t {
    Arbitrary,  // a fixed pattern of arbitrary bits, the same every run (the chips leave it undefined)
    Cleared,    // all zero
};

class BusEmulator : public Emulator {
public:
    static constexpr uint32_t kDefaultSpiClockHz = 8'000'000;

    // One I2C write message: the bytes that follow START and the address byte (R/W low), up to
    // STOP or a repeated START. `address7` is the 7-bit address. A chip at another address does
    // not answer and ignores the message (and logs it); a chip without I2C logs every message.
    virtual void i2cMessage(uint8_t address7, std::span<const uint8_t> bytesAfterAddress);

    // One SPI transfer with chip select active throughout: `dcHigh` is the level of the D/C
    // line for all its bytes (chips without one ignore it); the first byte starts at
    // `timeMicros` and the rest follow back to back at spiClockHz(). A caller that wants its
    // own timing feeds one byte a transfer.
    virtual void spiTransfer(bool dcHigh, std::span<const uint8_t> bytes, uint64_t timeMicros) = 0;

    // The reset line pulsed low and back high: registers return to their reset values and the
    // display goes off; display memory keeps what it held.
    virtual void resetPulse() = 0;

    // The SPI clock the transport runs at; a clock beyond the chip's rating is logged.
    void setSpiClockHz(uint32_t hz);
    uint32_t spiClockHz() const { return spiClockHz_; }

    // The picture the display memory makes, laid out as the glass shows it (start line, offset,
    // remap, scan direction, windows of the panel, the layers the chip is set to show) but
    // before the switches that override memory: display on/off, all pixels on, inverse,
    // contrast. What a driver drew is here even while the display is off.
    virtual ScreenImage memoryImage() const = 0;

protected:
    // The panel's look, lit at `light` (0..1) of full drive current.
    PanelLook lookWithLight(double light) const {
        PanelLook look = Emulator::look();
        look.brightness = light;
        return look;
    }
    // "SSD1306": how the problem log names the chip.
    virtual const char* chipName() const = 0;
    // The fastest SPI clock the chip (or the modules as people run them) takes.
    virtual uint32_t maxSpiClockHz() const = 0;

private:
    uint32_t spiClockHz_ = kDefaultSpiClockHz;
};

// Fills `ram` as a chip's memory is at power-on.
void fillPowerOnRam(std::span<uint8_t> ram, PowerOnRam content);

} // namespace tessaranth::emu
