// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/USB2LCD.h"

#include "platform/Platform.h"
#include "platform/Usb.h"

#include <algorithm>
#include <cstring>

namespace tessaranth {

namespace {

constexpr uint8_t commandEscape = 0x8F;
constexpr uint8_t setAddressCommand = 0x24;
constexpr uint8_t autoWriteCommand = 0xB0;
constexpr uint8_t autoResetCommand = 0xB2;
constexpr uint8_t writeIncrementCommand = 0xC0;
constexpr int32_t glyphBase = 0x1C00;

void warn(const char* text) { platform::messageBox(text, "Tessaranth", platform::mbIconWarning); }

uint8_t lowByte(uint32_t value) { return static_cast<uint8_t>(value & 0xFF); }

} // namespace

void USB2LCD::send(const uint8_t* bytes, size_t length) {
    platform::usb::write(bytes, static_cast<uint32_t>(length));
}

void USB2LCD::writeData(uint16_t value) {
    packet_[0] = lowByte(value);
    send(packet_, 1);
}

void USB2LCD::writeCommand(uint16_t value) {
    packet_[0] = commandEscape;
    packet_[1] = lowByte(value);
    send(packet_, 2);
}

void USB2LCD::setAddress(uint16_t address) {
    writeCommand(setAddressCommand);
    packet_[0] = lowByte(address);
    packet_[1] = lowByte(address >> 8);
    send(packet_, 2);
}

void USB2LCD::defineGlyph(uint8_t index, const uint8_t rows[8]) {
    const uint8_t head[] = {commandEscape, setAddressCommand, lowByte(glyphBase + 8 * index), static_cast<uint8_t>(index / 32 + 0x1C),
                            commandEscape, autoWriteCommand};
    std::memcpy(packet_, head, sizeof head);
    std::memcpy(packet_ + sizeof head, rows, 8);
    packet_[14] = commandEscape;
    packet_[15] = autoResetCommand;
    send(packet_, sizeof packet_);
}

template <typename Code>
void USB2LCD::sendCodes(const char* text, Code code) {
    for (const char* c = text; c && *c; ++c) {
        writeCommand(writeIncrementCommand);
        writeData(code(static_cast<uint8_t>(*c)));
    }
}

// The display's character generator holds ASCII 32 and up from code 0; the user glyphs at 128
// and up keep their codes.
void USB2LCD::sendCharacters(const char* text) {
    sendCodes(text, [](uint8_t c) { return lowByte(c - 32u); });
}

void USB2LCD::sendCells(const char* codes) {
    sendCodes(codes, [](uint8_t c) { return c >= 128 ? c : lowByte(c - 32u); });
}

void USB2LCD::sendBlankCells(int16_t count) {
    writeCommand(autoWriteCommand);
    for (int16_t cell = 0; cell < count; ++cell) writeData(0);
    writeCommand(autoResetCommand);
}

void USB2LCD::autoWrite(const uint8_t* bytes, size_t length) {
    writeCommand(autoWriteCommand);
    send(bytes, length);
    writeCommand(autoResetCommand);
}

void USB2LCD::writeScreen(const uint8_t* image) {
    setAddress(screenAddress);
    autoWrite(image, screenBytes);
}

void USB2LCD::sendRun(const uint8_t* bytes, int32_t count) { autoWrite(bytes, static_cast<size_t>(std::max(count, 0))); }

void USB2LCD::clearGraphics() {
    std::fill(std::begin(clearBuffer_), std::end(clearBuffer_), uint8_t{0});
    writeScreen(clearBuffer_);
}

void USB2LCD::init() {
    writeCommand(0x9C);  // text and graphics on
    writeCommand(0x72);  // the adapter's own start commands
    writeCommand(0x78);
}

bool USB2LCD::open() {
    if (!loadDriver()) {
        warn("Opening device.... driver not loaded");
        return false;
    }
    platform::usb::open();
    platform::usb::setBaudRate(baudRate);
    return true;
}

void USB2LCD::close() {
    writeCommand(0x79);  // the adapter's own closing command
    platform::usb::close();
    unloadDriver();
}

bool USB2LCD::loadDriver() {
    if (platform::usb::load()) return true;
    warn("Unable to load FTD2XX.dll\n\nMake sure you installed the D2XX driver");
    warn("Tessaranth will now shut down");
    return false;
}

void USB2LCD::unloadDriver() {
    if (!platform::usb::unload()) warn("Unable to free FTD2XX.dll");
}

} // namespace tessaranth
