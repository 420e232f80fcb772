// SPDX-License-Identifier: GPL-2.0-or-later
// Toshiba T6963C on the parallel port: text layer, graphic layer and a character generator
// with sixteen user glyphs.
#pragma once

#include "controllers/OnParallelPort.h"
#include "controllers/TextLayerController.h"

namespace tessaranth {

class T6963C final : public OnParallelPort<TextLayerController> {
public:
    using OnParallelPort::OnParallelPort;

    void init() override;
    void clearGraphics() override;
    void defineGlyph(uint8_t index, const uint8_t rows[8]) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    void writeScreen(const uint8_t* image) override;

    static constexpr uint16_t dataWriteIncrement = 0xC0;
    static constexpr uint16_t autoWrite = 0xB0;
    static constexpr uint16_t autoReset = 0xB2;

private:
    // The idle control value: every pin high, every signal inactive.
    static constexpr uint8_t idleControl = 4;

    void setAddress(uint16_t address) override;
    void sendCharacters(const char* text) override;
    void sendCells(const char* codes) override;
    void sendBlankCells(int16_t count) override;
    void sendRun(const uint8_t* bytes, int32_t count) override;

    void writeData(uint16_t value);
    void writeCommand(uint16_t value);
    // Strobes WR and CE with the byte on the bus, with the optional delay reads.
    void strobe(uint16_t value);
    // A data byte followed by a command byte: the two-byte parameter form.
    void writeWord(uint16_t word, uint16_t command);
    // Sends `count` bytes from `bytes` (or zeros when null) between the auto-write commands.
    void autoWriteBytes(const uint8_t* bytes, int32_t count, bool invert);
    void fillZeros(uint32_t address, int32_t count);
    // Each code as one data byte and a write-and-increment.
    template <typename Code>
    void sendCodes(const char* text, Code code);
    int32_t screenBytes() const;
};

} // namespace tessaranth
