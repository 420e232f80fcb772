// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Ssd1322Emulator.h"

#include <algorithm>
#include <string>

namespace tessaranth::emu {

namespace {

constexpr uint8_t kLockCommand = 0xFD;
constexpr uint8_t kLock = 0x16;
constexpr uint8_t kUnlock = 0x12;
constexpr uint8_t kWriteRam = 0x5C;
constexpr int kFewestLines = 16;

} // namespace

Ssd1322Emulator::Ssd1322Emulator(const Panel& panel) {
    fillPowerOnRam(memory_, panel.powerOn);
    for (uint8_t& level : memory_) level &= 0x0F;
    setPanelKind(panel.kind);
}

std::optional<size_t> Ssd1322Emulator::parameterCount(uint8_t command) {
    switch (command) {
    case 0x00: case kWriteRam: case 0xA4: case 0xA5: case 0xA6: case 0xA7: case 0xA9: case 0xAE: case 0xAF: case 0xB9: return 0;
    case kLockCommand: case 0xA1: case 0xA2: case 0xAB: case 0xB1: case 0xB3: case 0xB5: case 0xB6: case 0xBB: case 0xBE:
    case 0xC1: case 0xC7: case 0xCA: return 1;
    case 0x15: case 0x75: case 0xA0: case 0xA8: case 0xB4: case 0xD1: return 2;
    case 0xB8: return 15;
    default: return std::nullopt;
    }
}

void Ssd1322Emulator::spiTransfer(bool dcHigh, std::span<const uint8_t> bytes, uint64_t) {
    for (uint8_t byte : bytes) dcHigh ? data(byte) : command(byte);
}

void Ssd1322Emulator::resetPulse() {
    registers_ = Registers{};
    parametersWanted_ = 0;
}

void Ssd1322Emulator::command(uint8_t byte) {
    Registers& r = registers_;
    if (parametersWanted_ > 0)
        problems_.report("command " + hexText(byte) + " while command " + hexText(pending_) + " had " + std::to_string(parametersHeld_) +
                         " of its " + std::to_string(parametersWanted_) + " parameters");
    r.writing = false;
    r.byteInColumn = 0;
    const std::optional<size_t> count = parameterCount(byte);
    if (!count) {
        parametersWanted_ = 0;
        return problems_.report("unknown command " + hexText(byte));
    }
    pendingIgnored_ = r.locked && byte != kLockCommand;
    if (pendingIgnored_) problems_.report("command " + hexText(byte) + " ignored: the interface is locked");
    pending_ = byte;
    parametersHeld_ = 0;
    parametersWanted_ = *count;
    if (parametersWanted_ == 0 && !pendingIgnored_) run(byte);
}

void Ssd1322Emulator::data(uint8_t byte) {
    if (parametersWanted_ > 0) {
        parameters_[parametersHeld_++] = byte;
        if (parametersHeld_ < parametersWanted_) return;
        parametersWanted_ = 0;
        if (!pendingIgnored_) run(pending_);
        return;
    }
    if (!registers_.writing) return problems_.report("display data " + hexText(byte) + " without 0x5C before it");
    writePixels(byte);
}

void Ssd1322Emulator::run(uint8_t command) {
    Registers& r = registers_;
    const uint8_t first = parameters_[0];
    switch (command) {
    case kLockCommand:
        if (first == kLock || first == kUnlock)
            r.locked = first == kLock;
        else
            problems_.report("command lock " + hexText(first) + " is neither 0x16 nor 0x12");
        return;
    case 0x15: return setWindow(r.columns, "column");
    case 0x75: return setWindow(r.rows, "row");
    case kWriteRam: r.writing = true; return;
    case 0xA0: return setRemap();
    case 0xA1: r.startLine = first & 0x7F; return;
    case 0xA2: r.offset = first & 0x7F; return;
    case 0xCA:
        if ((first & 0x7F) + 1 < kFewestLines) return problems_.report("multiplex ratio " + hexText(first) + " is below 15");
        r.lines = (first & 0x7F) + 1;
        return;
    case 0xA4: case 0xA5: case 0xA6: case 0xA7: return setDisplayMode(command);
    case 0xAE: case 0xAF: r.on = command & 1; return;
    case 0xC1: r.contrast = first; return;
    case 0xC7: r.masterCurrent = first & 0x0F; return;
    default: return;  // timing, voltages, grey table, partial display: nothing the picture shows
    }
}

void Ssd1322Emulator::setWindow(AddressWindow& window, const char* what) {
    const int start = parameters_[0] & 0x7F, end = parameters_[1] & 0x7F;
    if (start >= window.size || end >= window.size)
        problems_.report(std::string(what) + " window " + std::to_string(start) + ".." + std::to_string(end) + " beyond " +
                         std::to_string(window.size - 1));
    window.set(std::min(start, window.size - 1), std::min(end, window.size - 1));
}

void Ssd1322Emulator::setRemap() {
    Registers& r = registers_;
    const uint8_t scan = parameters_[0], lines = parameters_[1];
    r.verticalIncrement = scan & 0x01;
    r.columnRemap = scan & 0x02;
    r.nibbleRemap = scan & 0x04;
    r.reversedScan = scan & 0x10;
    r.comSplit = scan & 0x20;
    r.dualCom = lines & 0x10;
    if (r.comSplit && r.dualCom) problems_.report("COM split with dual COM mode, which excludes it");
}

void Ssd1322Emulator::setDisplayMode(uint8_t command) {
    if (!Assumed::kModesAsCommandTable && (command == 0xA4 || command == 0xA6)) command ^= 0x02;
    constexpr DisplayMode kModes[] = {DisplayMode::AllOff, DisplayMode::AllOn, DisplayMode::Normal, DisplayMode::Inverse};
    registers_.mode = kModes[command - 0xA4];
}

// Nibble 0 is the first byte's high nibble, 3 the second byte's low one.
int Ssd1322Emulator::segmentOf(int column, int nibble) const {
    const Registers& r = registers_;
    const int segment = 4 * column + (r.nibbleRemap ? nibble : 3 - nibble);
    if (!r.columnRemap) return segment;
    return Assumed::kColumnRemapReversesPixels ? kSegments - 1 - segment : 4 * (kColumns - 1 - column) + segment % 4;
}

void Ssd1322Emulator::writePixels(uint8_t byte) {
    Registers& r = registers_;
    const int nibble = 2 * r.byteInColumn;
    const size_t rowStart = static_cast<size_t>(r.rows.pointer) * kSegments;
    memory_[rowStart + static_cast<size_t>(segmentOf(r.columns.pointer, nibble))] = byte >> 4;
    memory_[rowStart + static_cast<size_t>(segmentOf(r.columns.pointer, nibble + 1))] = byte & 0x0F;
    r.byteInColumn ^= 1;
    if (r.byteInColumn == 0) advance();
}

void Ssd1322Emulator::advance() {
    Registers& r = registers_;
    AddressWindow& first = r.verticalIncrement ? r.rows : r.columns;
    AddressWindow& second = r.verticalIncrement ? r.columns : r.rows;
    if (first.step()) second.step();
}

int Ssd1322Emulator::memoryLevel(int segment, int row) const {
    if (segment < 0 || segment >= kSegments || row < 0 || row >= kMemoryRows) return 0;
    return memory_[static_cast<size_t>(row) * kSegments + static_cast<size_t>(segment)];
}

ScreenImage Ssd1322Emulator::picture(bool withSwitches) const {
    const Registers& r = registers_;
    if (withSwitches && (!r.on || r.mode == DisplayMode::AllOff)) return ScreenImage(kWidth, kHeight);
    ComScan scan(kMemoryRows, kHeight, Assumed::kPanelWiring);
    scan.setStartLine(r.startLine);
    scan.setOffset(r.offset);
    scan.setLines(r.lines);
    scan.setReversed(r.reversedScan);
    scan.setPins({r.comSplit != (r.dualCom != Assumed::kPanelDualCom), false});
    const DisplayMode mode = withSwitches ? r.mode : DisplayMode::Normal;
    return scan.picture(kWidth, [&](int x, int row) {
        const int level = memoryLevel(Assumed::kFirstSegment + (Assumed::kSegmentZeroAtLeft ? x : kWidth - 1 - x), row);
        return mode == DisplayMode::Normal ? level : mode == DisplayMode::AllOn ? ScreenImage::kFullLevel : ScreenImage::kFullLevel - level;
    });
}

ScreenImage Ssd1322Emulator::screen() const { return picture(true); }

ScreenImage Ssd1322Emulator::memoryImage() const { return picture(false); }

PanelLook Ssd1322Emulator::look() const { return lookWithLight(Assumed::lightOf(registers_.contrast, registers_.masterCurrent)); }

} // namespace tessaranth::emu
