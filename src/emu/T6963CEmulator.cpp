// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/T6963CEmulator.h"

#include "emu/CharacterRom.h"

namespace tessaranth::emu {

namespace {

constexpr uint8_t kAutoReset = 0xB2;
constexpr uint8_t kDisplayGraphics = 0x08;
constexpr uint8_t kDisplayText = 0x04;
constexpr uint8_t kDisplayCursor = 0x02;
constexpr uint8_t kModeExternalCg = 0x08;
enum Combination : uint8_t { Or = 0, Exor = 1, And = 3, TextAttribute = 4 };

// Status bits: STA0 and STA1 ready for command and data, STA2 auto read, STA3 auto write ready.
constexpr uint8_t kStatusReady = 0x03;
constexpr uint8_t kStatusAutoRead = 0x04;
constexpr uint8_t kStatusAutoWrite = 0x08;

bool rowBit(uint8_t bits, int x) { return (bits >> (T6963CEmulator::kFontWidth - 1 - x % T6963CEmulator::kFontWidth)) & 1; }

} // namespace

T6963CEmulator::T6963CEmulator(int width, int height) : width_(width), height_(height), memory_(0x10000, 0) {}

std::optional<uint8_t> T6963CEmulator::busRead(bool lineHigh) { return lineHigh ? readStatus() : readData(); }

uint8_t T6963CEmulator::readStatus() const {
    uint8_t status = kStatusReady;
    if (auto_ == AutoMode::Read) status |= kStatusAutoRead;
    if (auto_ == AutoMode::Write) status |= kStatusAutoWrite;
    return status;
}

uint8_t T6963CEmulator::readData() {
    if (auto_ == AutoMode::Read) return memory_[addressPointer_++];
    return readLatch_;
}

void T6963CEmulator::writeData(uint8_t byte) {
    switch (auto_) {
    case AutoMode::Write: memory_[addressPointer_++] = byte; return;
    case AutoMode::Read: problems_.report("data byte " + hexText(byte) + " written during auto read"); return;
    case AutoMode::Off: break;
    }
    if (receivedParameters_ >= 2) parameters_[0] = parameters_[1];
    parameters_[static_cast<size_t>(receivedParameters_ >= 2 ? 1 : receivedParameters_)] = byte;
    ++receivedParameters_;
}

void T6963CEmulator::writeCommand(uint8_t command) {
    if (auto_ != AutoMode::Off && command != kAutoReset)
        problems_.report("command " + hexText(command) + " during auto " + (auto_ == AutoMode::Write ? "write" : "read") +
                         ", where only auto reset is taken");
    else
        runCommand(command);
    receivedParameters_ = 0;
}

int T6963CEmulator::parameterCount(uint8_t command) {
    switch (command) {
    case 0x21: case 0x22: case 0x24: case 0x40: case 0x41: case 0x42: case 0x43: return 2;
    case 0xC0: case 0xC2: case 0xC4: return 1;
    default: return 0;
    }
}

bool T6963CEmulator::takeParameters(uint8_t command) {
    const int count = parameterCount(command);
    if (receivedParameters_ < count) {
        problems_.report("command " + hexText(command) + " takes " + std::to_string(count) + " parameter bytes, got " +
                         std::to_string(receivedParameters_));
        return false;
    }
    if (receivedParameters_ > count)
        problems_.report(std::to_string(receivedParameters_ - count) + " stray data bytes before command " + hexText(command));
    return true;
}

uint16_t T6963CEmulator::parameterWord() const { return static_cast<uint16_t>(parameters_[0] | parameters_[1] << 8); }

void T6963CEmulator::runCommand(uint8_t command) {
    if (command >= 0xF0) return bitSetReset(command);
    if (command >= 0xC0 && command <= 0xC5) return dataAccess(command);
    if (command >= 0xB0 && command <= 0xB2) return startAuto(command);
    if (command >= 0x80 && command <= 0xA7) return setMode(command);
    if (parameterCount(command) == 2) return setRegister(command);
    problems_.report("unknown command " + hexText(command));
}

void T6963CEmulator::setRegister(uint8_t command) {
    if (!takeParameters(command)) return;
    const uint16_t word = parameterWord();
    switch (command) {
    case 0x21: cursorX_ = parameters_[0]; cursorY_ = parameters_[1]; return;
    case 0x22: offset_ = parameters_[0] & 0x1F; return;
    case 0x24: addressPointer_ = word; return;
    case 0x40: textHome_ = word; return;
    case 0x41: textArea_ = word; return;
    case 0x42: graphicHome_ = word; return;
    default: graphicArea_ = word; return;
    }
}

// Mode set (0x80..0x8F), display mode (0x90..0x9F) and cursor pattern (0xA0..0xA7): no parameters.
void T6963CEmulator::setMode(uint8_t command) {
    if (!takeParameters(command)) return;
    if (command >= 0xA0) {
        cursorLines_ = static_cast<uint8_t>((command & 0x07) + 1);
    } else if (command >= 0x90) {
        displayMode_ = command & 0x0F;
    } else {
        const uint8_t combination = command & 0x07;
        if (combination != Or && combination != Exor && combination != And && combination != TextAttribute)
            return problems_.report("mode set " + hexText(command) + " names no combination of the layers");
        if (combination == TextAttribute) problems_.report("mode set " + hexText(command) + ": text attributes are not emulated");
        mode_ = command & 0x0F;
    }
}

void T6963CEmulator::startAuto(uint8_t command) {
    if (!takeParameters(command)) return;
    auto_ = command == 0xB0 ? AutoMode::Write : command == 0xB1 ? AutoMode::Read : AutoMode::Off;
}

// 0xC0/0xC2/0xC4 write the parameter, 0xC1/0xC3/0xC5 read; then the pointer goes up, down or stays.
void T6963CEmulator::dataAccess(uint8_t command) {
    const bool write = (command & 1) == 0;
    if (!takeParameters(command)) return;
    if (write)
        memory_[addressPointer_] = parameters_[static_cast<size_t>(receivedParameters_ >= 2 ? 1 : 0)];
    else
        readLatch_ = memory_[addressPointer_];
    const int step = (command & 0x06) == 0 ? 1 : (command & 0x06) == 2 ? -1 : 0;
    addressPointer_ = static_cast<uint16_t>(addressPointer_ + step);
}

void T6963CEmulator::bitSetReset(uint8_t command) {
    if (!takeParameters(command)) return;
    const uint8_t bit = static_cast<uint8_t>(1u << (command & 0x07));
    if (command & 0x08)
        memory_[addressPointer_] |= bit;
    else
        memory_[addressPointer_] &= static_cast<uint8_t>(~bit);
}

uint16_t T6963CEmulator::cgRamBase() const { return static_cast<uint16_t>(offset_ << 11); }

uint8_t T6963CEmulator::characterRow(uint8_t code, int row) const {
    if (code < 0x80 && !(mode_ & kModeExternalCg)) return romGlyphRow(static_cast<uint8_t>(code + 0x20), row);
    return memory_[static_cast<uint16_t>(cgRamBase() + code * 8 + row)];
}

bool T6963CEmulator::textPixel(int x, int y) const {
    const uint16_t cell = static_cast<uint16_t>(textHome_ + (y / 8) * textArea_ + x / kFontWidth);
    return rowBit(characterRow(memory_[cell], y % 8), x);
}

bool T6963CEmulator::graphicPixel(int x, int y) const {
    return rowBit(memory_[static_cast<uint16_t>(graphicHome_ + y * graphicArea_ + x / kFontWidth)], x);
}

bool T6963CEmulator::cursorPixel(int x, int y) const {
    return (displayMode_ & kDisplayCursor) && x / kFontWidth == cursorX_ && y / 8 == cursorY_ && y % 8 >= 8 - cursorLines_;
}

bool T6963CEmulator::combine(bool text, bool graphic) const {
    switch (mode_ & 0x07) {
    case Exor: return text != graphic;
    case And: return text && graphic;
    case TextAttribute: return text;
    default: return text || graphic;
    }
}

ScreenImage T6963CEmulator::screen() const {
    ScreenImage image(width_, height_);
    const bool textOn = displayMode_ & kDisplayText;
    const bool graphicsOn = displayMode_ & kDisplayGraphics;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            bool lit = false;
            if (textOn && graphicsOn)
                lit = combine(textPixel(x, y), graphicPixel(x, y));
            else if (textOn)
                lit = textPixel(x, y);
            else if (graphicsOn)
                lit = graphicPixel(x, y);
            image.setPixel(x, y, lit || cursorPixel(x, y));
        }
    }
    return image;
}

} // namespace tessaranth::emu
