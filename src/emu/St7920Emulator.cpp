// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/St7920Emulator.h"

#include "emu/CharacterRom.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tessaranth::emu {

namespace {

constexpr uint8_t kSyncBit = 0x08;
constexpr uint8_t kReadBit = 0x04;
constexpr uint8_t kDataBit = 0x02;
constexpr uint8_t kClear = 0x01;
constexpr uint16_t kBlankCell = 0x2020;
constexpr uint8_t kFirstWideCode = 0xA1;  // a cell whose first byte is this or above holds a 16x16 character
constexpr int kCellPixels = 16;

uint8_t romFontRow(uint8_t code, int row) { return static_cast<uint8_t>(romGlyphRow(code, row / 2) << 1); }

template <class Array>
void fillPowerOn(Array& memory, PowerOnRam content) {
    fillPowerOnRam(std::span<uint8_t>(reinterpret_cast<uint8_t*>(memory.data()), sizeof memory), content);
}

} // namespace

St7920Emulator::St7920Emulator(Panel panel) : panel_(std::move(panel)) {
    if (!panel_.font) panel_.font = romFontRow;
    fillPowerOn(gdram_, panel_.powerOn);
    fillPowerOn(ddram_, panel_.powerOn);
    fillPowerOn(cgram_, panel_.powerOn);
    setPanelKind(panel_.kind);
    setSpiClockHz(kDefaultSpiClockHz);
}

void St7920Emulator::spiTransfer(bool, std::span<const uint8_t> bytes, uint64_t timeMicros) {
    setChipSelect(true);
    serialBytes(bytes, timeMicros);
    setChipSelect(false);
}

void St7920Emulator::setChipSelect(bool high) {
    if (!high && !panel_.chipSelectTiedHigh) framing_ = Framing::NoSync;
    chipSelected_ = high || panel_.chipSelectTiedHigh;
}

void St7920Emulator::serialBytes(std::span<const uint8_t> bytes, uint64_t timeMicros) {
    const uint64_t start = std::max(timeMicros * 1000, lastEndNanos_);
    for (size_t i = 0; i < bytes.size(); ++i) {
        lastEndNanos_ = start + (i + 1) * 8 * 1'000'000'000ull / spiClockHz();
        if (!chipSelected_) {
            problems_.report("serial byte " + hexText(bytes[i]) + " with chip select low");
            continue;
        }
        take(bytes[i], lastEndNanos_);
    }
}

void St7920Emulator::resetPulse() {
    registers_ = Registers{};
    framing_ = Framing::NoSync;
    executed_ = false;
}

void St7920Emulator::take(uint8_t byte, uint64_t endNanos) {
    if (byte & kSyncBit) {
        if ((byte & 0xF9) != 0xF8) problems_.report("sync byte " + hexText(byte) + " is not 11111 RW RS 0");
        if (byte & kReadBit) {
            problems_.report("read request " + hexText(byte) + ": the serial interface is write-only");
            framing_ = Framing::Ignoring;
            return;
        }
        dataFrame_ = byte & kDataBit;
        framing_ = Framing::HighNibble;
        return;
    }
    if (framing_ == Framing::Ignoring) return;
    if (framing_ == Framing::NoSync) return problems_.report("serial byte " + hexText(byte) + " before any sync byte");
    if (byte & 0x07) problems_.report("nibble byte " + hexText(byte) + " has bits below the nibble set");
    if (framing_ == Framing::HighNibble) {
        highNibble_ = byte & 0xF0;
        framing_ = Framing::LowNibble;
        return;
    }
    framing_ = Framing::HighNibble;
    const uint8_t value = static_cast<uint8_t>(highNibble_ | byte >> 4);
    checkTiming(dataFrame_, value, endNanos);
    dataFrame_ ? writeData(value) : instruction(value);
}

void St7920Emulator::checkTiming(bool isData, uint8_t value, uint64_t endNanos) {
    if (executed_ && endNanos - executedNanos_ < busyNanos_)
        problems_.report(std::string(isData ? "data byte " : "instruction ") + hexText(value) + " came " +
                         std::to_string((endNanos - executedNanos_) / 1000) + " us after the one before, which needs " +
                         std::to_string(busyNanos_ / 1000) + " us");
    executed_ = true;
    executedNanos_ = endNanos;
    busyNanos_ = !isData && value == kClear && !registers_.extended ? Assumed::kClearBusyNanos : Assumed::kBusyNanos;
}

void St7920Emulator::instruction(uint8_t value) {
    Registers& r = registers_;
    r.standby = false;
    if (r.secondByte && r.target == Target::Gdram) problems_.report("instruction " + hexText(value) + " after half a GDRAM word");
    r.secondByte = false;
    const bool gdramAddress = r.extended && value >= 0x80;
    if (!gdramAddress) r.gdramSecondAddress = false;
    if (value >= 0x20 && value < 0x40) return functionSet(value);
    r.extended ? extendedInstruction(value) : basicInstruction(value);
}

void St7920Emulator::functionSet(uint8_t value) {
    Registers& r = registers_;
    const bool eightBit = value & 0x10, extended = value & 0x04;
    if (eightBit != r.eightBit && extended != r.extended)
        problems_.report("function set " + hexText(value) + " changes DL and RE at once; the datasheet wants two instructions");
    r.eightBit = eightBit;
    r.extended = extended;
    if (extended) r.graphics = value & 0x02;
}

void St7920Emulator::basicInstruction(uint8_t value) {
    Registers& r = registers_;
    if (value == kClear) {
        ddram_.fill(kBlankCell);
        r.address = 0;
        r.increment = true;
        r.target = Target::Ddram;
    } else if (value < 0x04) {
        r.address = 0;
        r.target = Target::Ddram;
    } else if (value < 0x08) {
        r.increment = value & 0x02;
        if (value & 0x01) problems_.report("entry mode " + hexText(value) + " shifts the display (not emulated)");
    } else if (value < 0x10) {
        r.on = value & 0x04;
        if (value & 0x03) problems_.report("display control " + hexText(value) + " turns the cursor or blinking on (not drawn)");
    } else if (value < 0x20) {
        problems_.report("cursor or display shift " + hexText(value) + " (not emulated)");
    } else if (value < 0x80) {
        r.address = value & 0x3F;
        r.target = Target::Cgram;
    } else {
        if (value & 0x40) problems_.report("DDRAM address " + hexText(value) + " beyond 0xBF");
        r.address = value & 0x3F;
        r.target = Target::Ddram;
    }
}

void St7920Emulator::extendedInstruction(uint8_t value) {
    Registers& r = registers_;
    if (value == 0x01) {
        r.standby = true;
    } else if (value == 0x02 || value == 0x03) {
        r.scrollSelect = value & 0x01;
    } else if (value >= 0x04 && value < 0x08) {
        r.reversedLines[value & 0x03] = !r.reversedLines[value & 0x03];
    } else if (value >= 0x40 && value < 0x80) {
        if (r.scrollSelect) problems_.report("vertical scroll address " + hexText(value) + " (not emulated)");
    } else if (value >= 0x80 && !r.gdramSecondAddress) {
        if ((value & 0x7F) >= kGdramRows) problems_.report("GDRAM vertical address " + hexText(value) + " beyond 63");
        r.vertical = value & (kGdramRows - 1);
        r.gdramSecondAddress = true;
    } else if (value >= 0x80) {
        if ((value & 0x7F) >= kGdramWords) problems_.report("GDRAM horizontal address " + hexText(value) + " beyond 15");
        r.horizontal = value & (kGdramWords - 1);
        r.gdramSecondAddress = false;
        r.target = Target::Gdram;
    } else {
        problems_.report("unknown extended instruction " + hexText(value));
    }
}

void St7920Emulator::writeData(uint8_t value) {
    Registers& r = registers_;
    r.gdramSecondAddress = false;
    const bool second = r.secondByte;
    r.secondByte = !second;
    switch (r.target) {
    case Target::Ddram: return writeDdram(value, second);
    case Target::Cgram: {
        uint16_t& row = cgram_[static_cast<size_t>(r.address)];
        row = second ? static_cast<uint16_t>((row & 0xFF00) | value) : static_cast<uint16_t>((row & 0x00FF) | value << 8);
        if (second) r.address = (r.address + 1) & 0x3F;
        return;
    }
    case Target::Gdram:
        if (!second) {
            r.heldByte = value;
            return;
        }
        gdram_[static_cast<size_t>(r.vertical)][static_cast<size_t>(r.horizontal)] = static_cast<uint16_t>(r.heldByte << 8 | value);
        r.horizontal = (r.horizontal + 1) % kGdramWords;
        return;
    }
}

void St7920Emulator::writeDdram(uint8_t value, bool second) {
    Registers& r = registers_;
    uint16_t& cell = ddram_[static_cast<size_t>(r.address)];
    if (!second) {
        cell = static_cast<uint16_t>((cell & 0x00FF) | value << 8);
        return;
    }
    cell = static_cast<uint16_t>((cell & 0xFF00) | value);
    if (cell >> 8 >= kFirstWideCode) problems_.report("16x16 character " + hexText(cell) + " from the chip's own font (shown as a box)");
    r.address = (r.address + (r.increment ? 1 : kDdramCells - 1)) % kDdramCells;
}

uint16_t St7920Emulator::gdramWord(int vertical, int horizontal) const {
    if (vertical < 0 || vertical >= kGdramRows || horizontal < 0 || horizontal >= kGdramWords) return 0;
    return gdram_[static_cast<size_t>(vertical)][static_cast<size_t>(horizontal)];
}

uint16_t St7920Emulator::ddramCell(int address) const {
    return address >= 0 && address < kDdramCells ? ddram_[static_cast<size_t>(address)] : 0;
}

// (x, y) in the chip's 256x32 picture.
bool St7920Emulator::graphicsPixel(int x, int y) const {
    return registers_.graphics && (gdramWord(y, x / kCellPixels) >> (kCellPixels - 1 - x % kCellPixels)) & 1;
}

bool St7920Emulator::textPixel(int x, int y) const {
    const uint16_t cell = ddramCell(y / kCellPixels * kCellPixels + x / kCellPixels);
    const int row = y % kCellPixels, column = x % kCellPixels;
    if (cell >> 8 >= kFirstWideCode) return row == 0 || row == kCellPixels - 1 || column == 0 || column == kCellPixels - 1;
    if (cell <= 0x0007 && cell % 2 == 0) return (cgram_[static_cast<size_t>(cell / 2 * kCellPixels + row)] >> (kCellPixels - 1 - column)) & 1;
    const uint8_t code = column < 8 ? cell >> 8 : cell & 0xFF;
    if (code < 0x02 || code > 0x7F) return false;
    return (panel_.font(code, row) >> (7 - column % 8)) & 1;
}

ScreenImage St7920Emulator::picture(bool withSwitches) const {
    const Registers& r = registers_;
    ScreenImage image(kWidth, kHeight);
    if (withSwitches && (!r.on || r.standby)) return image;
    constexpr int kHalfRows = kHeight / 2;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int chipX = y < kHalfRows ? x : x + kWidth, chipY = y % kHalfRows;
            const bool text = textPixel(chipX, chipY), graphics = graphicsPixel(chipX, chipY);
            const bool lit = Assumed::kTextXorGraphics ? text != graphics : text || graphics;
            const bool reversed = withSwitches && r.reversedLines[static_cast<size_t>(chipY / Assumed::kRowsPerTextLine)];
            image.setPixel(x, y, lit != reversed);
        }
    return image;
}

ScreenImage St7920Emulator::screen() const { return picture(true); }

ScreenImage St7920Emulator::memoryImage() const { return picture(false); }

} // namespace tessaranth::emu
