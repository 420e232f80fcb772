// The USB adapter in front of a T6963C-type display: the T6963C's command set as a byte stream,
// each command byte announced by 0x8F. Whole-screen operations use the 240 x 128 layout.
#pragma once

#include "controllers/ControllerLSI.h"

#include <cstddef>

namespace tessaranth {

class USB2LCD final : public ControllerLSI {
public:
    static constexpr uint16_t screenAddress = 0x300;
    static constexpr size_t screenBytes = 5120;
    static constexpr uint32_t baudRate = 230400;

    void init() override;
    void writeData(uint16_t value) override;
    void writeCommand(uint16_t value) override;
    void clearGraphics() override;
    void setAddress(uint16_t address) override;
    void defineGlyph(uint8_t index, const uint8_t rows[8]) override;
    void writeText(const char* text) override;
    void writeScreen(const uint8_t* image) override;
    void writeRun(const uint8_t* bytes, int32_t count) override;
    void writeBlock(const uint8_t*, uint16_t, uint16_t, uint16_t, uint16_t) override {}
    uint8_t readStatus() override { return 0; }
    bool statusLoop() override { return true; }
    void open() override;
    void close() override;
    bool loadDriver() override;
    int32_t unloadDriver() override;
    uint16_t writeIncrementCode() override { return 0xC0; }
    uint16_t autoReadCode() override { return 0xB1; }
    uint16_t autoWriteCode() override { return 0xB0; }
    uint16_t autoResetCode() override { return 0xB2; }

private:
    // One transfer to the adapter.
    void send(const uint8_t* bytes, size_t length);
    // Auto-write of a whole buffer: begin, the bytes in one transfer, end.
    void autoWrite(const uint8_t* bytes, size_t length);

    uint8_t clearBuffer_[screenBytes] = {};
    uint8_t packet_[16] = {};
    int32_t glyphAddress_ = 0;
};

} // namespace tessaranth
