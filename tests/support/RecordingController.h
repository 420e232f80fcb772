// SPDX-License-Identifier: GPL-2.0-or-later
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

private:
    std::vector<std::string> ownLog_;

public:
    std::vector<std::string>& calls;
    // The bytes of the last writeBlock, read as the page drivers read them: six per cell.
    std::vector<uint8_t> lastBlock;

    bool open() override;
    void init() override { calls.push_back("init"); }
    void close() override { calls.push_back("close"); }
    void clearGraphics() override { calls.push_back("clearGraphics"); }
    void defineGlyph(uint8_t index, const uint8_t* rows) override;
    void writeText(int16_t column, int16_t line, const char* text) override;
    void writeCells(int16_t column, int16_t line, const char* codes) override;
    void blankText(int16_t column, int16_t line, int16_t count) override { log("blankText", {column, line, count}); }
    void clearTextCells(int16_t column, int16_t line, int16_t count) override {
        log("clearTextCells", {column, line, count});
    }
    void clearLine(int16_t column, int16_t line, const char* spaces) override;
    void writeRow(int column, int row, const uint8_t* bytes, int32_t count) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;
    void writeScreen(const uint8_t*) override { calls.push_back("writeScreen"); }
    void highlightLine(int16_t column, int16_t line, int16_t width, bool lit) override {
        log(lit ? "highlightLine lit" : "highlightLine dark", {column, line, width});
    }
    void setBrightness(uint8_t level) override { log("setBrightness", {level}); }

    // What open() answers.
    bool opens = true;

protected:
    void log(const char* operation, std::initializer_list<long> values);
};

} // namespace tessaranth::test
