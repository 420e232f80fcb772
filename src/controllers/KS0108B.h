// SPDX-License-Identifier: GPL-2.0-or-later
// Samsung KS0108B column drivers on the parallel port: two chips for a 128-pixel-wide display,
// three for 192, each with 64 columns and 8 pages. No character layer: text is drawn from the
// 5x7 column font.
#pragma once

#include "controllers/PageController.h"
#include "controllers/OnParallelPort.h"

namespace tessaranth {

class KS0108B final : public OnParallelPort<PageController> {
public:
    using OnParallelPort::OnParallelPort;

    // The chip that owns a pixel column: 1 for 0..63, 2 for 64..127, 3 from 128 on.
    static uint16_t chipOf(int column);

    void init() override;
    void clearGraphics() override;
    void writeScreen(const uint8_t* image) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;

private:
    void sendText(const char* text) override;
    void sendRun(const uint8_t* bytes, int32_t count) override;

    void writeData(uint16_t value);
    void writeCommand(uint16_t value);
    // One bus cycle to the chip in `chip_`, from the base control value of data or command.
    void cycle(uint8_t base, uint16_t value);
    // The chip-select lines that pick `chip_`; false when no cycle can reach that chip.
    bool selectLines(uint8_t& lines) const;
    // Pixel columns the display has: 192 with three chips, else 128.
    int columnLimit() const;
    // Points every chip at `page` and the chip of `firstColumn` at that column; false (and
    // nothing sent) when that column is past the right edge.
    bool beginRun(uint16_t page, int firstColumn);
    // Sends one column byte of a run; false (and nothing sent) once past the right edge.
    bool runByte(uint8_t value);
    void sendBytes(const uint8_t* bytes, int count, uint8_t mask);

    uint16_t chip_ = 1;
    uint16_t displayWidth_ = 0;
    int runColumn_ = 0;
};

} // namespace tessaranth
