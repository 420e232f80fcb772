// Epson SED1330 / SED1335 on the parallel port, run with a 6-pixel character width: a text
// layer and a graphic layer combined by exclusive-or, sixteen user glyphs in CG RAM.
#pragma once

#include "controllers/ControllerLSI.h"
#include "controllers/ParallelPort.h"

#include <initializer_list>

namespace tessaranth {

class SED133x final : public ControllerLSI {
public:
    static constexpr uint16_t memoryWrite = 0x42;

    void init() override;
    void writeData(uint16_t value) override;
    void writeCommand(uint16_t value) override;
    void clearGraphics() override;
    void setAddress(uint16_t address) override;
    void defineGlyph(uint8_t index, const uint8_t rows[8]) override;
    void writeText(const char* text) override;
    void writeScreen(const uint8_t* image) override;
    void writeRun(const uint8_t* bytes, int32_t count) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    uint8_t readStatus() override { return 0; }
    bool statusLoop() override { return true; }
    void open() override {}
    void close() override {}
    bool loadDriver() override { return false; }
    int32_t unloadDriver() override { return 0; }
    uint16_t writeIncrementCode() override { return 0; }
    uint16_t autoReadCode() override { return 0; }
    uint16_t autoWriteCode() override { return memoryWrite; }
    uint16_t autoResetCode() override { return 0; }

private:
    // Strobes CS and WR with the byte on the bus.
    void strobe(uint16_t value);
    // A command followed by parameter bytes (each sent as its low byte).
    void command(uint8_t code, std::initializer_list<uint32_t> parameters);
    // Memory write of `count` cells as graphic bytes: each cell moved to bits 7..2.
    void writeGraphicBytes(const uint8_t* bytes, int32_t count);
    // `count` single-byte memory writes of `value` from `address` on.
    void fill(uint32_t address, int32_t count, uint8_t value);

    ParallelPort port_;
    int32_t cgRamAddress_ = 0;
    int32_t cursorAddress_ = 0;
};

} // namespace tessaranth
