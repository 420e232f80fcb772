// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Ssd1306Emulator.h"

#include <string>

namespace tessaranth::emu {

namespace {

constexpr uint8_t kLockCommand = 0xFD;
constexpr uint8_t kLock = 0x16;
constexpr uint8_t kUnlock = 0x12;
constexpr uint8_t kPumpOnBit = 0x04;  // 0x8D 0x14 on, 0x10 off
constexpr int kMemoryRows = Ssd1306Emulator::kPages * 8;
constexpr int kFewestLines = 16;  // 0xA8 takes 15 .. 63

} // namespace

Ssd1306Emulator::Ssd1306Emulator(const Panel& panel) : ControlByteChip(panel.address7), panel_(panel) {
    panel_.height = panel.height == 32 ? 32 : 64;
    fillPowerOnRam(memory_, panel.powerOn);
    setPanelKind(panel.kind);
}

const char* Ssd1306Emulator::chipName() const { return isSsd1309() ? "SSD1309" : "SSD1306"; }

void Ssd1306Emulator::resetPulse() {
    registers_ = Registers{};  // unlocks, too
    parametersHeld_ = parametersWanted_ = 0;
}

bool Ssd1306Emulator::isScroll(uint8_t command) const {
    switch (command) {
    case 0x26: case 0x27: case 0x29: case 0x2A: case 0x2E: case 0x2F: case 0xA3: return true;
    case 0x2C: case 0x2D: return isSsd1309();
    default: return false;
    }
}

int Ssd1306Emulator::parameterCount(uint8_t command) const {
    switch (command) {
    case 0x20: case 0x81: case 0x8D: case 0xA8: case 0xD3: case 0xD5: case 0xD9: case 0xDA: case 0xDB: return 1;
    case 0x21: case 0x22: case 0xA3: return 2;
    case 0x29: case 0x2A: return 5;
    case 0x26: case 0x27: return isSsd1309() ? 7 : 6;
    case 0x2C: case 0x2D: return isSsd1309() ? 7 : 0;
    case kLockCommand: case 0xDC: return isSsd1309() ? 1 : 0;
    default: return 0;
    }
}

void Ssd1306Emulator::command(uint8_t byte) {
    if (parametersWanted_ > 0) {
        parameters_[parametersHeld_++] = byte;
        if (parametersHeld_ < parametersWanted_) return;
        parametersWanted_ = 0;
        return run(pending_);
    }
    if (registers_.locked && byte != kLockCommand) return problems_.report("command " + hexText(byte) + " ignored: the interface is locked");
    pending_ = byte;
    parametersHeld_ = 0;
    parametersWanted_ = static_cast<size_t>(parameterCount(byte));
    if (parametersWanted_ == 0) run(byte);
}

void Ssd1306Emulator::run(uint8_t command) {
    const uint8_t first = parameters_[0];
    if (command < 0x20 || (command >= 0xB0 && command <= 0xB7) || (command >= 0x20 && command <= 0x22)) return runAddressing(command);
    if (isScroll(command)) return runScroll(command);
    if (command >= 0x40 && command <= 0x7F) {
        registers_.startLine = command & 0x3F;
        return;
    }
    switch (command) {
    case 0x81: registers_.contrast = first; return;
    case 0xA0: case 0xA1: registers_.columnRemap = command & 1; return;
    case 0xA4: case 0xA5: registers_.allOn = command & 1; return;
    case 0xA6: case 0xA7: registers_.inverse = command & 1; return;
    case 0xAE: case 0xAF: registers_.on = command & 1; return;
    case 0xC0: case 0xC8: registers_.reversedScan = command & 0x08; return;
    case 0xD3: registers_.offset = first & 0x3F; return;
    case 0xDA: registers_.pins = {(first & 0x10) != 0, (first & 0x20) != 0}; return;
    case 0xA8:
        if ((first & 0x3F) + 1 < kFewestLines) return problems_.report("multiplex ratio " + hexText(first) + " is below 15");
        registers_.lines = (first & 0x3F) + 1;
        return;
    case 0x8D:
        if (!isSsd1309()) registers_.pumpOn = first & kPumpOnBit;
        return;
    case 0xD5: case 0xD9: case 0xDB: case 0xE3: return;  // clock, pre-charge, VCOMH, NOP: nothing to see
    default: break;
    }
    if (isSsd1309() && (command == kLockCommand || command == 0xDC)) return runSsd1309(command);
    problems_.report("unknown command " + hexText(command));
}

void Ssd1306Emulator::runAddressing(uint8_t command) {
    Registers& r = registers_;
    int& column = r.columns.pointer;
    const bool pageMode = r.addressing == Addressing::Page;
    const bool movesPointer = pageMode || Assumed::kPageCommandsMovePointersInEveryMode;
    if (command < 0x10) {
        if (movesPointer) column = (column & 0x70) | (command & 0x0F);
    } else if (command < 0x20) {
        if (movesPointer) column = ((command & 0x07) << 4) | (column & 0x0F);
    } else if (command >= 0xB0) {
        if (movesPointer) r.pages.pointer = command & 0x07;
    } else if (command == 0x20) {
        if ((parameters_[0] & 0x03) == 0x03) return problems_.report("addressing mode " + hexText(parameters_[0]) + " is invalid");
        r.addressing = static_cast<Addressing>(parameters_[0] & 0x03);
    } else if (command == 0x21) {
        r.columns.set(parameters_[0] & 0x7F, parameters_[1] & 0x7F);
    } else {
        r.pages.set(parameters_[0] & 0x07, parameters_[1] & 0x07);
    }
}

void Ssd1306Emulator::runScroll(uint8_t command) {
    if (command == 0x2F) {
        registers_.scrolling = true;
        registers_.wroteWhileScrolling = false;
        problems_.report("continuous scrolling started: the picture moves by itself (not emulated)");
    } else if (command == 0x2E) {
        registers_.scrolling = false;
    } else if (command == 0x2C || command == 0x2D) {
        shiftOneColumn(command == 0x2C);
    }
    // 0x26, 0x27, 0x29, 0x2A and 0xA3 only set the scroll up; it shows once 0x2F starts it.
}

void Ssd1306Emulator::runSsd1309(uint8_t command) {
    if (command == 0xDC) return;  // a GPIO pin, nothing on the glass
    if (parameters_[0] == kLock || parameters_[0] == kUnlock)
        registers_.locked = parameters_[0] == kLock;
    else
        problems_.report("command lock " + hexText(parameters_[0]) + " is neither 0x16 nor 0x12");
}

// Parameters: 0x00, first page, interval, last page, 0x00, first column, last column.
void Ssd1306Emulator::shiftOneColumn(bool right) {
    const int firstPage = parameters_[1] & 0x07, lastPage = parameters_[3] & 0x07;
    const int first = parameters_[5] & 0x7F, last = parameters_[6] & 0x7F;
    if (lastPage < firstPage || last <= first) return problems_.report("one-column scroll over an empty range");
    for (int page = firstPage; page <= lastPage; ++page) {
        uint8_t* row = &memory_[static_cast<size_t>(page * kWidth)];
        if (right) {
            const uint8_t wrapped = Assumed::kColumnShiftWraps ? row[last] : 0;
            for (int segment = last; segment > first; --segment) row[segment] = row[segment - 1];
            row[first] = wrapped;
        } else {
            const uint8_t wrapped = Assumed::kColumnShiftWraps ? row[first] : 0;
            for (int segment = first; segment < last; ++segment) row[segment] = row[segment + 1];
            row[last] = wrapped;
        }
    }
}

void Ssd1306Emulator::data(uint8_t byte) {
    Registers& r = registers_;
    if (parametersWanted_ > 0)
        problems_.report("display data " + hexText(byte) + " while command " + hexText(pending_) + " waits for a parameter");
    if (r.locked && Assumed::kLockIgnoresData) return problems_.report("display data ignored: the interface is locked");
    if (r.scrolling && !r.wroteWhileScrolling) {
        r.wroteWhileScrolling = true;
        problems_.report("display data written while scrolling runs");
    }
    const int segment = r.columnRemap ? kWidth - 1 - r.columns.pointer : r.columns.pointer;
    memory_[static_cast<size_t>(r.pages.pointer * kWidth + segment)] = byte;
    advance();
}

void Ssd1306Emulator::advance() {
    Registers& r = registers_;
    int& column = r.columns.pointer;
    switch (r.addressing) {
    case Addressing::Page: column = column == kWidth - 1 ? Assumed::kPageModeWrapColumn : column + 1; break;
    case Addressing::Horizontal:
        if (r.columns.step()) r.pages.step();
        break;
    case Addressing::Vertical:
        if (r.pages.step()) r.columns.step();
        break;
    }
}

ComScan Ssd1306Emulator::scan() const {
    ComScan scan(kMemoryRows, panel_.height, ComPins{panel_.height == 64, false});
    scan.setStartLine(registers_.startLine);
    scan.setOffset(registers_.offset);
    scan.setLines(registers_.lines);
    scan.setReversed(registers_.reversedScan);
    scan.setPins(registers_.pins);
    return scan;
}

uint8_t Ssd1306Emulator::memory(int page, int segment) const {
    if (page < 0 || page >= kPages || segment < 0 || segment >= kWidth) return 0;
    return memory_[static_cast<size_t>(page * kWidth + segment)];
}

ScreenImage Ssd1306Emulator::picture(bool withSwitches) const {
    const Registers& r = registers_;
    const bool powered = !panel_.chargePumpPowersPanel || isSsd1309() || r.pumpOn;
    if (withSwitches && (!r.on || !powered)) return ScreenImage(kWidth, panel_.height);
    const OneBitSwitches switches{withSwitches && r.allOn, withSwitches && r.inverse};
    return scan().picture(kWidth, [&](int x, int row) {
        return switches.level((memory(row / 8, Assumed::kSegmentZeroAtRight ? kWidth - 1 - x : x) >> (row % 8)) & 1);
    });
}

ScreenImage Ssd1306Emulator::screen() const { return picture(true); }

ScreenImage Ssd1306Emulator::memoryImage() const { return picture(false); }

PanelLook Ssd1306Emulator::look() const { return lookWithLight(Assumed::lightOfContrast(registers_.contrast)); }

} // namespace tessaranth::emu
