// SPDX-License-Identifier: GPL-2.0-or-later
// A controller driver that draws nothing and records every call the drawing parts make, with
// the bytes they hand over.
#pragma once

#include "controllers/ControllerLSI.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::test {

struct ControllerCall {
    std::string op;               // "writeText", "writeCells", "blankText", "writeRow", "writeBlock", ...
    std::vector<int32_t> args;    // column, line (or row) and count; x, y, rows, width
    std::vector<uint8_t> bytes;   // what writeRow and writeBlock were given
    std::string text;             // what writeText and writeCells were given
    bool operator==(const ControllerCall&) const = default;
};

class CallRecorder : public ControllerLSI {
public:
    // page: a block carries six column bytes per cell (else rows x width row bytes).
    explicit CallRecorder(bool page = false) : page_(page) {}

    void init() override {}
    void clearGraphics() override {}
    void writeScreen(const uint8_t*) override {}
    void writeText(int16_t column, int16_t line, const char* text) override {
        calls.push_back({"writeText", {column, line}, {}, text});
    }
    void writeCells(int16_t column, int16_t line, const char* codes) override {
        calls.push_back({"writeCells", {column, line}, {}, codes});
    }
    void blankText(int16_t column, int16_t line, int16_t count) override {
        calls.push_back({"blankText", {column, line, count}, {}, {}});
    }
    void clearTextCells(int16_t column, int16_t line, int16_t count) override {
        calls.push_back({"clearTextCells", {column, line, count}, {}, {}});
    }
    void clearLine(int16_t column, int16_t line, const char* spaces) override {
        calls.push_back({"clearLine", {column, line}, {}, spaces});
    }
    void highlightLine(int16_t column, int16_t line, int16_t width, bool lit) override {
        calls.push_back({"highlightLine", {column, line, width, lit ? 1 : 0}, {}, {}});
    }
    void writeRow(int column, int row, const uint8_t* bytes, int32_t count) override;
    void writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) override;

    // The calls with the given operation name, in order.
    std::vector<ControllerCall> only(const std::string& op) const;

    std::vector<ControllerCall> calls;

private:
    bool page_;
};

} // namespace tessaranth::test
