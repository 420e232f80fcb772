// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Sed133xEmulator.h"

#include "emu/CharacterRom.h"

namespace tessaranth::emu {

namespace {

enum Command : uint8_t {
    SystemSet = 0x40, MemoryWrite = 0x42, MemoryRead = 0x43, Scroll = 0x44, CursorWrite = 0x46, CursorRead = 0x47,
    CursorRight = 0x4C, CursorLeft = 0x4D, CursorUp = 0x4E, CursorDown = 0x4F, SleepIn = 0x53, DisplayOff = 0x58,
    DisplayOn = 0x59, HorizontalScroll = 0x5A, Overlay = 0x5B, CgRamAddress = 0x5C, CursorForm = 0x5D,
};

// How many parameter bytes a command takes; -1 for display data (MWRITE) and unknown commands.
int parameterCount(uint8_t command) {
    switch (command) {
    case SystemSet: return 8;
    case Scroll: return 10;
    case CursorWrite: case CursorForm: case CgRamAddress: return 2;
    case DisplayOff: case DisplayOn: case HorizontalScroll: case Overlay: return 1;
    case MemoryRead: case CursorRead: case CursorRight: case CursorLeft: case CursorUp: case CursorDown: case SleepIn: return 0;
    default: return -1;
    }
}

// Assumed: with a 6-pixel character width a graphic byte shows bits 7..2, bit 7 leftmost.
bool graphicBit(uint8_t byte, int column) { return column < 8 && ((byte >> (7 - column)) & 1); }

// CG RAM codes (assumed): 0x80..0x9F at SAG + code * 8 + row, bit 7 leftmost.
constexpr uint8_t kFirstCgRamCode = 0x80;
constexpr uint8_t kLastCgRamCode = 0x9F;

enum Combination : uint8_t { Or = 0, Exor = 1, And = 2, PriorityOr = 3 };
constexpr uint8_t kOverlayFirstLayerGraphics = 0x04;
constexpr uint8_t kCursorFormBlock = 0x80;

} // namespace

Sed133xEmulator::Sed133xEmulator(int width, int height) : width_(width), height_(height), memory_(0x10000, 0) {}

std::optional<uint8_t> Sed133xEmulator::busRead(bool lineHigh) { return lineHigh ? readData() : readStatus(); }

uint8_t Sed133xEmulator::readData() {
    if (command_ == CursorRead) return static_cast<uint8_t>(cursor_ >> (8 * (cursorReadIndex_++ & 1)));
    if (command_ != MemoryRead) {
        problems_.report("data read without MREAD or CSRR");
        return 0xFF;
    }
    const uint8_t byte = memory_[cursor_];
    cursor_ = static_cast<uint16_t>(cursor_ + cursorStep());
    return byte;
}

void Sed133xEmulator::writeCommand(uint8_t command) {
    if (command != MemoryWrite && parameterCount(command) < 0) {
        problems_.report("unknown command " + hexText(command));
        command_.reset();
        return;
    }
    startCommand(command);
}

void Sed133xEmulator::startCommand(uint8_t command) {
    command_ = command;
    parameterIndex_ = 0;
    cursorReadIndex_ = 0;
    switch (command) {
    case CursorRight: case CursorLeft: case CursorUp: case CursorDown: direction_ = command; break;
    case Scroll: scrollParameters_ = 0; break;
    default: break;
    }
}

void Sed133xEmulator::writeData(uint8_t byte) {
    if (!command_) return problems_.report("data byte " + hexText(byte) + " with no command to take it");
    if (*command_ == MemoryWrite) return memoryWrite(byte);
    if (static_cast<int>(parameterIndex_) >= parameterCount(*command_))
        return problems_.report("data byte " + hexText(byte) + " beyond the parameters of command " + hexText(*command_));
    storeParameter(byte);
    ++parameterIndex_;
}

void Sed133xEmulator::storeParameter(uint8_t byte) {
    const size_t i = parameterIndex_;
    switch (*command_) {
    case SystemSet: systemSet_[i] = byte; return;
    case Scroll:
        scroll_[i] = byte;
        scrollParameters_ = i + 1;
        return;
    case CursorWrite:
        cursor_ = i == 0 ? static_cast<uint16_t>((cursor_ & 0xFF00) | byte) : static_cast<uint16_t>((cursor_ & 0x00FF) | byte << 8);
        return;
    case CursorForm: cursorForm_[i] = byte; return;
    case CgRamAddress: cgRamAddress_[i] = byte; return;
    case DisplayOff:
    case DisplayOn:
        displayOn_ = *command_ == DisplayOn;
        attributes_ = byte;
        return;
    case HorizontalScroll: horizontalScroll_ = byte & 0x07; return;
    default: overlay_ = byte; return;
    }
}

void Sed133xEmulator::memoryWrite(uint8_t byte) {
    memory_[cursor_] = byte;
    cursor_ = static_cast<uint16_t>(cursor_ + cursorStep());
}

int16_t Sed133xEmulator::cursorStep() const {
    switch (direction_) {
    case CursorLeft: return -1;
    case CursorUp: return static_cast<int16_t>(-addressPitch());
    case CursorDown: return static_cast<int16_t>(addressPitch());
    default: return 1;
    }
}

uint16_t Sed133xEmulator::blockStart(int block) const {
    static constexpr size_t kLow[] = {0, 3, 6, 8};
    const size_t low = kLow[block - 1];
    return static_cast<uint16_t>(scroll_[low] | scroll_[low + 1] << 8);
}

// Display ON/OFF attribute: bits 3..2 the first block, 5..4 the second, 7..6 the third.
bool Sed133xEmulator::blockShown(int block) const {
    const int shift = block == 1 ? 2 : block == 3 ? 6 : 4;
    return (attributes_ >> shift) & 0x03;
}

bool Sed133xEmulator::textBit(uint16_t address, int column, int glyphRow) const {
    const uint8_t code = memory_[address];
    if (code >= kFirstCgRamCode && code <= kLastCgRamCode) {
        if (glyphRow >= 8) return false;
        return graphicBit(memory_[static_cast<uint16_t>(cgRamStart() + code * 8 + glyphRow)], column);
    }
    return column < 6 && ((romGlyphRow(code, glyphRow) >> (5 - column)) & 1);
}

// A block shows `line` of its own; text rows are characterHeight() lines tall.
bool Sed133xEmulator::blockPixel(int block, bool text, int x, int line) const {
    if (!blockShown(block)) return false;
    const int shifted = x + horizontalScroll_;
    const int byteColumn = shifted / characterWidth();
    const int column = shifted % characterWidth();
    if (byteColumn >= bytesPerLine()) return false;
    const uint16_t start = blockStart(block);
    if (!text) return graphicBit(memory_[static_cast<uint16_t>(start + line * addressPitch() + byteColumn)], column);
    const int row = line / characterHeight();
    return textBit(static_cast<uint16_t>(start + row * addressPitch() + byteColumn), column, line % characterHeight());
}

// The first layer: block 1 for SL1 + 1 lines, then block 3 when SCROLL gave its address.
bool Sed133xEmulator::layerOnePixel(int x, int line) const {
    const bool text = !(overlay_ & kOverlayFirstLayerGraphics);
    const int lines = scroll_[2] + 1;
    if (line < lines) return blockPixel(1, text, x, line);
    return scrollParameters_ >= 8 && blockPixel(3, text, x, line - lines);
}

// The second layer, always graphics: block 2 for SL2 + 1 lines, then block 4 when given.
bool Sed133xEmulator::layerTwoPixel(int x, int line) const {
    const int lines = scroll_[5] + 1;
    if (line < lines) return blockPixel(2, false, x, line);
    return scrollParameters_ >= 10 && blockPixel(4, false, x, line - lines);
}

// The cursor sits at the cursor address within block 1, CRX + 1 dots wide; an underline on
// line CRY of the character, or a block down to it.
bool Sed133xEmulator::cursorPixel(int x, int line) const {
    if (!(attributes_ & 0x03) || addressPitch() == 0) return false;
    const int offset = static_cast<uint16_t>(cursor_ - blockStart(1));
    const int row = line / characterHeight();
    const int glyphRow = line % characterHeight();
    const int shifted = x + horizontalScroll_;
    if (offset / addressPitch() != row || offset % addressPitch() != shifted / characterWidth()) return false;
    if (shifted % characterWidth() > (cursorForm_[0] & 0x0F)) return false;
    const int cursorLine = cursorForm_[1] & 0x0F;
    return (cursorForm_[1] & kCursorFormBlock) ? glyphRow <= cursorLine : glyphRow == cursorLine;
}

bool Sed133xEmulator::combine(bool one, bool two) const {
    switch (overlay_ & 0x03) {
    case Exor: return one != two;
    case And: return one && two;
    default: return one || two;  // OR, and priority-OR on a one-colour panel
    }
}

ScreenImage Sed133xEmulator::screen() const {
    ScreenImage image(width_, height_);
    if (!displayOn_) return image;
    for (int line = 0; line < height_ && line < linesPerFrame(); ++line)
        for (int x = 0; x < width_; ++x)
            image.setPixel(x, line, combine(layerOnePixel(x, line), layerTwoPixel(x, line)) || cursorPixel(x, line));
    return image;
}

} // namespace tessaranth::emu
