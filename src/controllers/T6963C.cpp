#include "controllers/T6963C.h"

#include "geometry/DisplayLayout.h"
#include "globals/Globals.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>

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
constexpr uint8_t stopStatus = 0x7F;

uint16_t lowByte(uint32_t value) { return static_cast<uint16_t>(value & 0xFF); }
uint16_t highByte(uint32_t value) { return static_cast<uint16_t>((value >> 8) & 0xFF); }

int32_t screenBytes() { return gLayout->graphicRowBytes() * gLayout->height(); }

} // namespace

void T6963C::strobe(uint16_t value) {
    ParallelPort::writeData(value);
    port_.toggle(port_.wrMask());
    port_.toggle(port_.csMask());
    if (gSettings->interfaceTiming() != 0) {
        ParallelPort::readData();
        ParallelPort::readData();
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
    port_.takeWiring();
    port_.writeControl(idleControl);
    writeWord(static_cast<uint16_t>(gLayout->textHome()), setTextHome);
    writeWord(static_cast<uint16_t>(gLayout->textRowBytes() & 0xFF), setTextArea);
    writeWord(static_cast<uint16_t>(gLayout->graphicHome()), setGraphicHome);
    writeWord(static_cast<uint16_t>(gLayout->graphicRowBytes() & 0xFF), setGraphicArea);
    writeCommand(modeExorInternalRom);
    writeWord(offsetRegister, setOffsetRegister);
    writeCommand(cursorEightLines);
    writeWord(0, setCursorPointer);
    writeCommand(displayTextAndGraphics);
    fillZeros(gLayout->textHome(), gLayout->textRowBytes() * (gLayout->height() / 8));
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

void T6963C::clearGraphics() { fillZeros(gLayout->graphicHome(), screenBytes()); }

void T6963C::defineGlyph(uint8_t index, const uint8_t rows[8]) {
    setAddress(static_cast<uint16_t>(userGlyphBase + 8 * index));
    autoWriteBytes(rows, 8, false);
}

void T6963C::writeText(const char* text) {
    if (!text) return;
    for (const char* c = text; *c; ++c) {
        writeData(static_cast<uint8_t>(static_cast<uint8_t>(*c) - 32));
        writeCommand(dataWriteIncrement);
    }
}

void T6963C::writeScreen(const uint8_t* image) {
    if (!image) return;
    setAddress(static_cast<uint16_t>(gLayout->graphicHome()));
    // The largest layout fills 13440 of the image's 13443 bytes.
    const int32_t count = std::min<int32_t>(screenBytes(), DisplayLayout::backgroundBytes);
    autoWriteBytes(image, count, gSettings->inverse() != 0);
}

void T6963C::writeRun(const uint8_t* bytes, int32_t count) {
    autoWriteBytes(bytes, count, gSettings->inverse() != 0);
}

void T6963C::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) {
    const int32_t rowBytes = gLayout->graphicRowBytes();
    const bool invert = gSettings->inverse() != 0;
    for (uint16_t f = 0; f < rows; ++f) {
        setAddress(static_cast<uint16_t>(gLayout->graphicHome() + x + f * rowBytes + y * 8 * rowBytes));
        autoWriteBytes(bytes ? bytes + f * width : nullptr, width, invert);
    }
}

uint8_t T6963C::readStatus() { return static_cast<uint8_t>(ParallelPort::readStatus() ^ 0x80); }

bool T6963C::statusLoop() {
    uint8_t status = 0;
    do {
        status = ParallelPort::readStatus();
        char text[32];
        std::snprintf(text, sizeof text, "Status: %X\n", static_cast<unsigned>(status));
        platform::messageBox(text, "status", platform::mbIconWarning);
    } while (status != stopStatus);
    return true;
}

} // namespace tessaranth
