// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Sh1106Emulator.h"

#include <algorithm>
#include <string>

namespace tessaranth::emu {

Sh1106Emulator::Sh1106Emulator(const Panel& panel) : ControlByteChip(panel.address7), panel_(panel) {
    panel_.firstColumn = std::clamp(panel.firstColumn, 0, kMemoryColumns - kWidth);
    fillPowerOnRam(memory_, panel.powerOn);
    setPanelKind(panel.kind);
}

void Sh1106Emulator::resetPulse() {
    registers_ = Registers{};
    waiting_ = false;
}

bool Sh1106Emulator::takesParameter(uint8_t command) {
    switch (command) {
    case 0x81: case 0xA8: case 0xAD: case 0xD3: case 0xD5: case 0xD9: case 0xDA: case 0xDB: return true;
    default: return false;
    }
}

void Sh1106Emulator::command(uint8_t byte) {
    if (waiting_) {
        waiting_ = false;
        return runWithParameter(pending_, byte);
    }
    if (takesParameter(byte)) {
        pending_ = byte;
        waiting_ = true;
        return;
    }
    run(byte);
}

void Sh1106Emulator::run(uint8_t command) {
    Registers& r = registers_;
    if (command < 0x10) {
        r.column = (r.column & 0xF0) | command;
    } else if (command < 0x20) {
        r.column = ((command & 0x0F) << 4) | (r.column & 0x0F);
    } else if (command >= 0x30 && command <= 0x33) {
        // pump voltage: nothing to see
    } else if (command >= 0x40 && command <= 0x7F) {
        r.startLine = command & 0x3F;
    } else if (command >= 0xB0 && command <= 0xB7) {
        r.page = command & 0x07;
    } else if (command >= 0xC0 && command <= 0xCF) {
        r.reversedScan = command & 0x08;
    } else if (command == 0xA0 || command == 0xA1) {
        r.segmentRemap = command & 1;
    } else if (command == 0xA4 || command == 0xA5) {
        r.allOn = command & 1;
    } else if (command == 0xA6 || command == 0xA7) {
        r.inverse = command & 1;
    } else if (command == 0xAE || command == 0xAF) {
        r.on = command & 1;
    } else if (command == 0xE0) {
        r.readModifyWrite = true;
        r.heldColumn = r.column;
    } else if (command == 0xEE) {
        if (r.readModifyWrite) r.column = r.heldColumn;
        r.readModifyWrite = false;
    } else if (command != 0xE3) {
        problems_.report("unknown command " + hexText(command));
    }
}

void Sh1106Emulator::runWithParameter(uint8_t command, uint8_t parameter) {
    Registers& r = registers_;
    switch (command) {
    case 0x81: r.contrast = parameter; return;
    case 0xA8: r.lines = (parameter & 0x3F) + 1; return;
    case 0xD3: r.offset = parameter & 0x3F; return;
    case 0xDA: r.alternativePins = parameter & 0x10; return;
    case 0xAD:
        if ((parameter & 0xFE) != 0x8A) return problems_.report("DC-DC setting " + hexText(parameter) + " is neither 0x8A nor 0x8B");
        if (r.on) problems_.report("DC-DC switched while the display is on");
        r.dcDcOn = parameter & 1;
        return;
    default: return;  // clock, pre-charge, VCOM: nothing to see
    }
}

void Sh1106Emulator::data(uint8_t byte) {
    Registers& r = registers_;
    if (waiting_) problems_.report("display data " + hexText(byte) + " while command " + hexText(pending_) + " waits for its second byte");
    if (r.column < kMemoryColumns)
        memory_[static_cast<size_t>(r.page * kMemoryColumns + r.column)] = byte;
    else
        problems_.report("display data at column " + std::to_string(r.column) + ", beyond column 131");
    r.column = r.column >= kMemoryColumns - 1 ? Assumed::kWrapColumn : r.column + 1;
}

uint8_t Sh1106Emulator::memory(int page, int column) const {
    if (page < 0 || page >= kPages || column < 0 || column >= kMemoryColumns) return 0;
    return memory_[static_cast<size_t>(page * kMemoryColumns + column)];
}

// The segments wired to the glass are those that show panel_.firstColumn on the left with the
// usual orientation; a remap mirrors the columns over all 132 segments.
int Sh1106Emulator::memoryColumnAt(int x) const {
    const int leftSegment = Assumed::kSegmentZeroAtRight ? kMemoryColumns - 1 - panel_.firstColumn : panel_.firstColumn;
    const int segment = Assumed::kSegmentZeroAtRight ? leftSegment - x : leftSegment + x;
    return registers_.segmentRemap == Assumed::kSegmentZeroAtRight ? kMemoryColumns - 1 - segment : segment;
}

ScreenImage Sh1106Emulator::picture(bool withSwitches) const {
    const Registers& r = registers_;
    if (withSwitches && (!r.on || (panel_.dcDcPowersPanel && !r.dcDcOn))) return ScreenImage(kWidth, kHeight);
    ComScan scan(kHeight, kHeight, ComPins{true, false});
    scan.setStartLine(r.startLine);
    scan.setOffset(r.offset);
    scan.setLines(r.lines);
    scan.setReversed(r.reversedScan);
    scan.setPins(ComPins{r.alternativePins, false});
    const OneBitSwitches switches{withSwitches && r.allOn, withSwitches && r.inverse};
    return scan.picture(kWidth, [&](int x, int row) { return switches.level((memory(row / 8, memoryColumnAt(x)) >> (row % 8)) & 1); });
}

ScreenImage Sh1106Emulator::screen() const { return picture(true); }

ScreenImage Sh1106Emulator::memoryImage() const { return picture(false); }

PanelLook Sh1106Emulator::look() const { return lookWithLight(Assumed::lightOfContrast(registers_.contrast)); }

} // namespace tessaranth::emu
