// The interface through which every drawing part reaches the display. The operations stand
// in their fixed slot order.
#pragma once

#include <cstdint>

namespace tessaranth {

class ControllerLSI {
public:
    virtual ~ControllerLSI() = default;

    virtual void init() = 0;
    virtual void writeData(uint16_t value) = 0;
    virtual void writeCommand(uint16_t value) = 0;
    virtual void clearGraphics() = 0;
    virtual void setAddress(uint16_t address) = 0;
    virtual void defineGlyph(uint8_t index, const uint8_t rows[8]) = 0;
    virtual void writeText(const char* text) = 0;
    virtual void writeScreen(const uint8_t* image) = 0;
    virtual void writeRun(const uint8_t* bytes, int32_t count) = 0;
    virtual void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) = 0;
    virtual uint8_t readStatus() = 0;
    virtual bool statusLoop() = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool loadDriver() = 0;
    virtual int32_t unloadDriver() = 0;
    virtual uint16_t writeIncrementCode() = 0;
    virtual uint16_t autoReadCode() = 0;
    virtual uint16_t autoWriteCode() = 0;
    virtual uint16_t autoResetCode() = 0;
};

} // namespace tessaranth
