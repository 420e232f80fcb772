// A controller driver that draws nothing and records every call the drawing parts make, with
// the bytes they hand over.
#pragma once

#include "controllers/ControllerLSI.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::test {

struct ControllerCall {
    std::string op;               // "setAddress", "writeText", "writeRun", "writeBlock", "writeCommand", "writeData"
    std::vector<uint32_t> args;   // address; count; x, y, rows, width; value
    std::vector<uint8_t> bytes;   // what writeRun and writeBlock were given
    std::string text;             // what writeText was given
    bool operator==(const ControllerCall&) const = default;
};

class CallRecorder : public ControllerLSI {
public:
    static constexpr uint16_t autoWrite = 0xB0;
    static constexpr uint16_t autoReset = 0xB2;

    // page: a block carries six column bytes per cell (else rows x width row bytes).
    explicit CallRecorder(bool page = false) : page_(page) {}

    void init() override {}
    void writeData(uint16_t value) override { calls.push_back({"writeData", {value}, {}, {}}); }
    void writeCommand(uint16_t value) override { calls.push_back({"writeCommand", {value}, {}, {}}); }
    void clearGraphics() override {}
    void setAddress(uint16_t address) override { calls.push_back({"setAddress", {address}, {}, {}}); }
    void defineGlyph(uint8_t, const uint8_t[8]) override {}
    void writeText(const char* text) override { calls.push_back({"writeText", {}, {}, text}); }
    void writeScreen(const uint8_t*) override {}
    void writeRun(const uint8_t* bytes, int32_t count) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    uint8_t readStatus() override { return 0; }
    bool statusLoop() override { return true; }
    void open() override {}
    void close() override {}
    bool loadDriver() override { return true; }
    int32_t unloadDriver() override { return 0; }
    uint16_t writeIncrementCode() override { return 0xC0; }
    uint16_t autoReadCode() override { return 0xB1; }
    uint16_t autoWriteCode() override { return autoWrite; }
    uint16_t autoResetCode() override { return autoReset; }

    // The calls with the given operation name, in order.
    std::vector<ControllerCall> only(const std::string& op) const;

    std::vector<ControllerCall> calls;

private:
    bool page_;
};

} // namespace tessaranth::test
