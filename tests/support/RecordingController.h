// A driver that only records what it is asked to do, one line per call, for the parts that
// drive `gController` without a particular controller behind it.
#pragma once

#include "controllers/ControllerLSI.h"

#include <string>
#include <vector>

namespace tessaranth::test {

class RecordingController : public ControllerLSI {
public:
    // log: where the calls go, so that they outlive the driver (shutdown releases it).
    explicit RecordingController(std::vector<std::string>* log = nullptr) : calls(log ? *log : ownLog_) {}

    // Codes answered by the auto-mode operations.
    uint16_t autoWrite = 0xB0;
    uint16_t autoReset = 0xB2;

private:
    std::vector<std::string> ownLog_;

public:
    std::vector<std::string>& calls;
    // The bytes of the last writeBlock, read as the page drivers read them: six per cell.
    std::vector<uint8_t> lastBlock;

    void init() override { calls.push_back("init"); }
    void writeData(uint16_t value) override { log("writeData", value); }
    void writeCommand(uint16_t value) override { log("writeCommand", value); }
    void clearGraphics() override { calls.push_back("clearGraphics"); }
    void setAddress(uint16_t address) override { log("setAddress", address); }
    void defineGlyph(uint8_t index, const uint8_t rows[8]) override;
    void writeText(const char* text) override { calls.push_back(std::string("writeText ") + text); }
    void writeScreen(const uint8_t*) override { calls.push_back("writeScreen"); }
    void writeRun(const uint8_t*, int32_t count) override { log("writeRun", count); }
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    uint8_t readStatus() override { return 0; }
    bool statusLoop() override { return true; }
    void open() override { calls.push_back("open"); }
    void close() override { calls.push_back("close"); }
    bool loadDriver() override { return false; }
    int32_t unloadDriver() override { return 0; }
    uint16_t writeIncrementCode() override { return 0; }
    uint16_t autoReadCode() override { return 0; }
    uint16_t autoWriteCode() override { return autoWrite; }
    uint16_t autoResetCode() override { return autoReset; }

private:
    void log(const char* operation, long value) { calls.push_back(std::string(operation) + " " + std::to_string(value)); }
};

} // namespace tessaranth::test
