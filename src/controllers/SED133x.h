// SPDX-License-Identifier: GPL-2.0-or-later
// Epson SED1330 / SED1335 on the parallel port, run with a 6-pixel character width: a text
// layer and a graphic layer combined by exclusive-or, sixteen user glyphs in CG RAM.
#pragma once

#include "controllers/OnParallelPort.h"
#include "controllers/TextLayerController.h"

#include <initializer_list>

namespace tessaranth {

class SED133x final : public OnParallelPort<TextLayerController> {
public:
    static constexpr uint16_t memoryWrite = 0x42;

    using OnParallelPort::OnParallelPort;

    void init() override;
    void clearGraphics() override;
    void defineGlyph(uint8_t index, const uint8_t rows[8]) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    void writeScreen(const uint8_t* image) override;

private:
    void setAddress(uint16_t address) override;
    void sendCharacters(const char* text) override;
    // Memory write of zero codes, closed by a command byte of 0.
    void sendBlankCells(int16_t count) override;
    void sendRun(const uint8_t* bytes, int32_t count) override;

    void writeData(uint16_t value);
    void writeCommand(uint16_t value);
    // Strobes CS and WR with the byte on the bus.
    void strobe(uint16_t value);
    // A command followed by parameter bytes (each sent as its low byte).
    void command(uint8_t code, std::initializer_list<uint32_t> parameters);
    // Memory write of `count` cells as graphic bytes: each cell moved to bits 7..2.
    void writeGraphicBytes(const uint8_t* bytes, int32_t count);
    // `count` single-byte memory writes of `value` from `address` on.
    void fill(uint32_t address, int32_t count, uint8_t value);
    int32_t screenBytes() const;

    int32_t cgRamAddress_ = 0;
    int32_t cursorAddress_ = 0;
};

} // namespace tessaranth
