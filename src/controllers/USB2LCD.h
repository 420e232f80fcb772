// SPDX-License-Identifier: GPL-2.0-or-later
// The USB adapter in front of a T6963C-type display: the T6963C's command set as a byte stream,
// each command byte announced by 0x8F. Whole-screen operations use the 240 x 128 layout.
#pragma once

#include "controllers/TextLayerController.h"

#include <cstddef>

namespace tessaranth {

class USB2LCD final : public TextLayerController {
public:
    static constexpr uint16_t screenAddress = 0x300;
    static constexpr size_t screenBytes = 5120;
    static constexpr uint32_t baudRate = 230400;

    // Loads the device library and opens the adapter; false (after saying why) when the library
    // is missing.
    bool open() override;
    void init() override;
    void close() override;
    void clearGraphics() override;
    void defineGlyph(uint8_t index, const uint8_t rows[8]) override;
    void writeBlock(const uint8_t*, uint16_t, uint16_t, uint16_t, uint16_t) override {}
    void writeScreen(const uint8_t* image) override;

private:
    void setAddress(uint16_t address) override;
    void sendCharacters(const char* text) override;
    void sendCells(const char* codes) override;
    void sendBlankCells(int16_t count) override;
    void sendRun(const uint8_t* bytes, int32_t count) override;

    void writeData(uint16_t value);
    void writeCommand(uint16_t value);
    // One transfer to the adapter.
    void send(const uint8_t* bytes, size_t length);
    // Auto-write of a whole buffer: begin, the bytes in one transfer, end.
    void autoWrite(const uint8_t* bytes, size_t length);
    // Each code as a write-and-increment and one data byte.
    template <typename Code>
    void sendCodes(const char* text, Code code);
    bool loadDriver();
    void unloadDriver();

    uint8_t clearBuffer_[screenBytes] = {};
    uint8_t packet_[16] = {};
};

} // namespace tessaranth
