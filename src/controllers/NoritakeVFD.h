// SPDX-License-Identifier: GPL-2.0-or-later
// Noritake 800(A) series graphic VFD, 128 pixels wide, on the parallel port: column bytes
// addressed by page and X commands, brightness in sixteen steps. No character layer: text is
// drawn from the 5x7 column font.
#pragma once

#include "controllers/PageController.h"
#include "controllers/OnParallelPort.h"

namespace tessaranth {

class NoritakeVFD final : public OnParallelPort<PageController> {
public:
    using OnParallelPort::OnParallelPort;

    void init() override;
    // Fades out over sixteen steps of 100 ms, then clears both layers.
    void close() override;
    void clearGraphics() override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    void writeScreen(const uint8_t* image) override;
    // A run of lit or dark columns under the line, one column past its last cell.
    void highlightLine(int16_t column, int16_t line, int16_t width, bool lit) override;
    // Sixteen steps, 0 the brightest.
    void setBrightness(uint8_t level) override;

private:
    void sendText(const char* text) override;
    void sendRun(const uint8_t* bytes, int32_t count) override;

    void writeData(uint16_t value);
    void writeCommand(uint16_t value);
    void cycle(uint8_t base, uint16_t value);
    // Page and X address commands, and the start of a run there; false (and nothing sent)
    // when the column is past the right edge.
    bool beginRun(uint16_t pageByte, int firstColumn);
    // Sends one column byte of a run unless the run has reached the right edge (then false).
    bool runByte(uint8_t value);
    // The bytes of a run that fit before the right edge, each XOR `mask`.
    void sendBytes(const uint8_t* bytes, int32_t count, uint8_t mask);

    uint16_t displayWidth_ = 0;
    int runColumn_ = 0;
};

} // namespace tessaranth
