// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/SED133x.h"

#include "geometry/DisplayLayout.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr uint8_t idleControl = 4;
constexpr uint8_t systemSet = 0x40;
constexpr uint8_t scroll = 0x44;
constexpr uint8_t cursorWrite = 0x46;
constexpr uint8_t cursorRight = 0x4C;
constexpr uint8_t horizontalScroll = 0x5A;
constexpr uint8_t overlay = 0x5B;
constexpr uint8_t cgRamStart = 0x5C;
constexpr uint8_t cursorForm = 0x5D;
constexpr uint8_t displayOn = 0x59;
constexpr int32_t cgRamBase = 0x290;
// User glyphs (codes 0x80..) lie 0x400 bytes into CG RAM.
constexpr int32_t userGlyphOffset = 0x400;
constexpr uint8_t space = 0x20;

uint8_t lowByte(uint32_t value) { return static_cast<uint8_t>(value & 0xFF); }
uint8_t highByte(uint32_t value) { return static_cast<uint8_t>((value >> 8) & 0xFF); }

// A 6-pixel cell in bits 5..0 goes to bits 7..2 of the display byte.
uint8_t graphicByte(uint8_t cell, uint8_t invertMask) { return static_cast<uint8_t>((cell ^ invertMask) << 2); }

} // namespace

int32_t SED133x::screenBytes() const { return layout().graphicRowBytes() * layout().height(); }

void SED133x::strobe(uint16_t value) {
    port_.writeData(value);
    port_.toggle(port_.csMask());
    port_.toggle(port_.wrMask());
    port_.toggle(port_.wrMask());
    port_.toggle(port_.csMask());
}

void SED133x::writeData(uint16_t value) {
    port_.setControlShadow(idleControl);
    port_.toggle(port_.a0Mask());
    strobe(value);
}

void SED133x::writeCommand(uint16_t value) {
    port_.writeControl(idleControl);
    strobe(value);
}

void SED133x::command(uint8_t code, std::initializer_list<uint32_t> parameters) {
    writeCommand(code);
    for (uint32_t parameter : parameters) writeData(lowByte(parameter));
}

void SED133x::setAddress(uint16_t address) { command(cursorWrite, {lowByte(address), highByte(address)}); }

void SED133x::init() {
    cgRamAddress_ = cgRamBase;
    cursorAddress_ = 0;
    port_.writeControl(idleControl);
    const DisplayLayout& layout = this->layout();
    const auto rowBytes = static_cast<uint32_t>(layout.graphicRowBytes());
    const uint32_t height = layout.height();
    // Two-frame drive, 6-pixel characters 8 rows high; the address pitch equals the row bytes.
    // C/R is one less than the bytes a line shows: rows widened to the display's width end at
    // its edge; the others show one byte more, past the edge.
    const uint32_t lineBytes = layout.rowsWidened() ? rowBytes - 1 : rowBytes;
    command(systemSet, {0x30, 0x85, 0x07, lineBytes, rowBytes + 14, height, rowBytes, 0});
    command(scroll, {lowByte(layout.textHome()), highByte(layout.textHome()), height, lowByte(layout.graphicHome()),
                     highByte(layout.graphicHome()), height});
    command(cgRamStart, {lowByte(cgRamAddress_), highByte(cgRamAddress_)});
    command(cursorRight, {});
    command(horizontalScroll, {0});
    command(cursorWrite, {lowByte(cursorAddress_), highByte(cursorAddress_)});
    command(cursorForm, {0x04, 0x86});
    command(overlay, {0x01});     // exclusive-or of the two layers
    command(displayOn, {0x14});   // both layers on, cursor off
    fill(layout.textHome(), layout.textPitch() * (layout.height() / 8), space);
    clearGraphics();
}

void SED133x::fill(uint32_t address, int32_t count, uint8_t value) {
    setAddress(static_cast<uint16_t>(address));
    for (int32_t i = 0; i < count; ++i) command(memoryWrite, {value});
}

void SED133x::clearGraphics() { fill(layout().graphicHome(), screenBytes(), 0); }

void SED133x::writeGraphicBytes(const uint8_t* bytes, int32_t count) {
    const uint8_t mask = invertMask();
    writeCommand(memoryWrite);
    for (int32_t i = 0; i < count; ++i) writeData(graphicByte(bytes[i], mask));
}

void SED133x::defineGlyph(uint8_t index, const uint8_t rows[8]) {
    setAddress(static_cast<uint16_t>(cgRamAddress_ + userGlyphOffset + 8 * index));
    writeCommand(memoryWrite);
    for (int row = 0; row < 8; ++row) writeData(lowByte(rows[row] << 2u));
}

void SED133x::sendCharacters(const char* text) {
    if (!text) return;
    writeCommand(memoryWrite);
    for (const char* c = text; *c; ++c) writeData(static_cast<uint8_t>(*c));
}

void SED133x::sendBlankCells(int16_t count) {
    writeCommand(memoryWrite);
    for (int16_t cell = 0; cell < count; ++cell) writeData(0);
    writeCommand(0);
}

void SED133x::writeScreen(const uint8_t* image) {
    if (!image) return;
    setAddress(static_cast<uint16_t>(layout().graphicHome()));
    writeGraphicBytes(image, std::min<int32_t>(screenBytes(), DisplayLayout::backgroundBytes));
}

void SED133x::sendRun(const uint8_t* bytes, int32_t count) {
    if (bytes) writeGraphicBytes(bytes, count);
}

void SED133x::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) {
    if (!bytes) return;
    const int32_t rowBytes = layout().graphicRowBytes();
    const auto home = static_cast<int32_t>(layout().graphicHome());
    for (uint16_t f = 0; f < rows; ++f) {
        setAddress(static_cast<uint16_t>(rowBytes * f + home + x + rowBytes * y * 8));
        writeGraphicBytes(bytes + f * width, width);
    }
}

} // namespace tessaranth
