// Noritake 800(A) series graphic VFD, 128 pixels wide, on the parallel port: column bytes
// addressed by page and X commands, brightness in sixteen steps. No character layer: text is
// drawn from the 5x7 column font.
#pragma once

#include "controllers/ControllerLSI.h"
#include "controllers/ParallelPort.h"

namespace tessaranth {

class NoritakeVFD final : public ControllerLSI {
public:
    void init() override;
    void writeData(uint16_t value) override;
    void writeCommand(uint16_t value) override;
    void clearGraphics() override;
    void setAddress(uint16_t address) override;
    void defineGlyph(uint8_t, const uint8_t*) override {}
    void writeText(const char* text) override;
    void writeScreen(const uint8_t* image) override;
    void writeRun(const uint8_t* bytes, int32_t count) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    uint8_t readStatus() override { return 0; }
    bool statusLoop() override { return false; }
    void open() override {}
    void close() override {}
    bool loadDriver() override { return false; }
    int32_t unloadDriver() override { return 0; }
    uint16_t writeIncrementCode() override { return 0; }
    uint16_t autoReadCode() override { return 0; }
    uint16_t autoWriteCode() override { return 0; }
    uint16_t autoResetCode() override { return 0; }

private:
    void cycle(uint8_t base, uint16_t value);
    // Page and X address commands, and the start of a run there; false (and nothing sent)
    // when the column is past the right edge.
    bool beginRun(uint16_t pageByte, int firstColumn);
    // Sends one column byte of a run unless the run has reached the right edge (then false).
    bool runByte(uint8_t value);
    // The bytes of a run that fit before the right edge, each XOR `mask`.
    void sendRun(const uint8_t* bytes, int32_t count, uint8_t mask);

    ParallelPort port_;
    uint16_t displayWidth_ = 0;
    uint16_t column_ = 0;
    uint16_t page_ = 0;
    int runColumn_ = 0;
};

} // namespace tessaranth
