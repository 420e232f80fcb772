// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/T6963C.h"

#include "geometry/DisplayLayout.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr uint16_t setAddressPointer = 0x24;
constexpr uint16_t setTextHome = 0x40;
constexpr uint16_t setTextArea = 0x41;
constexpr uint16_t setGraphicHome = 0x42;
constexpr uint16_t setGraphicArea = 0x43;
constexpr uint16_t modeExorInternalRom = 0x81;
constexpr uint16_t setOffsetRegister = 0x22;
constexpr uint16_t cursorEightLines = 0xA7;
constexpr uint16_t setCursorPointer = 0x21;
constexpr uint16_t displayTextAndGraphics = 0x9C;
// The character generator RAM starts at 0x1800 with offset register 3; codes 0x80..0x8F
// (the user glyphs) lie 0x400 bytes into it.
constexpr uint16_t offsetRegister = 3;
constexpr uint16_t userGlyphBase = 0x1C00;
uint16_t lowByte(uint32_t value) { return static_cast<uint16_t>(value & 0xFF); }
uint16_t highByte(uint32_t value) { return static_cast<uint16_t>((value >> 8) & 0xFF); }

} // namespace

int32_t T6963C::screenBytes() const { return layout().graphicRowBytes() * layout().height(); }

void T6963C::strobe(uint16_t value) {
    port_.writeData(value);
    port_.toggle(port_.wrMask());
    port_.toggle(port_.csMask());
    if (options().slowStrobe) {
        port_.readData();
        port_.readData();
    }
    port_.toggle(port_.csMask());
    port_.toggle(port_.wrMask());
}

void T6963C::writeData(uint16_t value) {
    port_.setControlShadow(idleControl);
    port_.toggle(port_.a0Mask());
    strobe(value);
}

void T6963C::writeCommand(uint16_t value) {
    port_.writeControl(idleControl);
    strobe(value);
    port_.toggle(port_.a0Mask());
}

void T6963C::writeWord(uint16_t word, uint16_t command) {
    writeData(lowByte(word));
    writeData(highByte(word));
    writeCommand(command);
}

void T6963C::setAddress(uint16_t address) { writeWord(address, setAddressPointer); }

void T6963C::init() {
    const DisplayLayout& l = layout();
    port_.writeControl(idleControl);
    writeWord(static_cast<uint16_t>(l.textHome()), setTextHome);
    writeWord(static_cast<uint16_t>(l.textRowBytes() & 0xFF), setTextArea);
    writeWord(static_cast<uint16_t>(l.graphicHome()), setGraphicHome);
    writeWord(static_cast<uint16_t>(l.graphicRowBytes() & 0xFF), setGraphicArea);
    writeCommand(modeExorInternalRom);
    writeWord(offsetRegister, setOffsetRegister);
    writeCommand(cursorEightLines);
    writeWord(0, setCursorPointer);
    writeCommand(displayTextAndGraphics);
    fillZeros(l.textHome(), l.textRowBytes() * (l.height() / 8));
    clearGraphics();
}

void T6963C::autoWriteBytes(const uint8_t* bytes, int32_t count, bool invert) {
    const uint8_t mask = invert ? 0xFF : 0x00;
    writeCommand(autoWrite);
    for (int32_t i = 0; i < count; ++i) writeData(static_cast<uint8_t>((bytes ? bytes[i] : 0) ^ mask));
    writeCommand(autoReset);
}

void T6963C::fillZeros(uint32_t address, int32_t count) {
    setAddress(static_cast<uint16_t>(address));
    autoWriteBytes(nullptr, count, false);
}

void T6963C::clearGraphics() { fillZeros(layout().graphicHome(), screenBytes()); }

void T6963C::defineGlyph(uint8_t index, const uint8_t rows[8]) {
    setAddress(static_cast<uint16_t>(userGlyphBase + 8 * index));
    autoWriteBytes(rows, 8, false);
}

template <typename Code>
void T6963C::sendCodes(const char* text, Code code) {
    if (!text) return;
    for (const char* c = text; *c; ++c) {
        writeData(code(static_cast<uint8_t>(*c)));
        writeCommand(dataWriteIncrement);
    }
}

// The character generator holds ASCII 32 and up from code 0.
void T6963C::sendCharacters(const char* text) {
    sendCodes(text, [](uint8_t c) { return static_cast<uint8_t>(c - 32); });
}

// The user glyphs at 128 and up keep their codes.
void T6963C::sendCells(const char* codes) {
    sendCodes(codes, [](uint8_t c) { return static_cast<uint8_t>(c >= 128 ? c : c - 32); });
}

void T6963C::sendBlankCells(int16_t count) { autoWriteBytes(nullptr, count, false); }

void T6963C::writeScreen(const uint8_t* image) {
    if (!image) return;
    setAddress(static_cast<uint16_t>(layout().graphicHome()));
    // The largest layout fills 13440 of the image's 13443 bytes.
    const int32_t count = std::min<int32_t>(screenBytes(), DisplayLayout::backgroundBytes);
    autoWriteBytes(image, count, options().inverse);
}

void T6963C::sendRun(const uint8_t* bytes, int32_t count) { autoWriteBytes(bytes, count, options().inverse); }

void T6963C::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) {
    const int32_t rowBytes = layout().graphicRowBytes();
    const bool invert = options().inverse;
    for (uint16_t f = 0; f < rows; ++f) {
        setAddress(static_cast<uint16_t>(layout().graphicHome() + x + f * rowBytes + y * 8 * rowBytes));
        autoWriteBytes(bytes ? bytes + f * width : nullptr, width, invert);
    }
}

} // namespace tessaranth
