// Toshiba T6963C on the parallel port: text layer, graphic layer and a character generator
// with sixteen user glyphs.
#pragma once

#include "controllers/ControllerLSI.h"
#include "controllers/ParallelPort.h"

namespace tessaranth {

class T6963C : public ControllerLSI {
public:
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
    uint8_t readStatus() override;
    bool statusLoop() override;
    void open() override {}
    void close() override {}
    bool loadDriver() override { return false; }
    int32_t unloadDriver() override { return 0; }
    uint16_t writeIncrementCode() override { return dataWriteIncrement; }
    uint16_t autoReadCode() override { return autoRead; }
    uint16_t autoWriteCode() override { return autoWrite; }
    uint16_t autoResetCode() override { return autoReset; }

    static constexpr uint16_t dataWriteIncrement = 0xC0;
    static constexpr uint16_t autoRead = 0xB1;
    static constexpr uint16_t autoWrite = 0xB0;
    static constexpr uint16_t autoReset = 0xB2;

private:
    // The idle control value: every pin high, every signal inactive.
    static constexpr uint8_t idleControl = 4;

    // Strobes WR and CE with the byte on the bus, with the optional delay reads.
    void strobe(uint16_t value);
    // A data byte followed by a command byte: the two-byte parameter form.
    void writeWord(uint16_t word, uint16_t command);
    // Sends `count` bytes from `bytes` (or zeros when null) between the auto-write commands.
    void autoWriteBytes(const uint8_t* bytes, int32_t count, bool invert);
    void fillZeros(uint32_t address, int32_t count);

    ParallelPort port_;
};

} // namespace tessaranth
