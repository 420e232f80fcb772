// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecordingController.h"

#include <cstring>

namespace tessaranth::test {

bool RecordingController::open() {
    calls.push_back("open");
    return opens;
}

void RecordingController::log(const char* operation, std::initializer_list<long> values) {
    std::string line = operation;
    for (long value : values) line += " " + std::to_string(value);
    calls.push_back(line);
}

void RecordingController::defineGlyph(uint8_t index, const uint8_t* rows) {
    std::string line = "defineGlyph " + std::to_string(index);
    for (int row = 0; row < 8; ++row) line += " " + std::to_string(rows[row]);
    calls.push_back(line);
}

void RecordingController::writeText(int16_t column, int16_t line, const char* text) {
    calls.push_back("writeText " + std::to_string(column) + " " + std::to_string(line) + " " + text);
}

void RecordingController::writeCells(int16_t column, int16_t line, const char* codes) {
    std::string entry = "writeCells " + std::to_string(column) + " " + std::to_string(line);
    for (const char* c = codes; *c; ++c) entry += " " + std::to_string(static_cast<uint8_t>(*c));
    calls.push_back(entry);
}

void RecordingController::clearLine(int16_t column, int16_t line, const char* spaces) {
    log("clearLine", {column, line, static_cast<long>(std::strlen(spaces))});
}

void RecordingController::writeRow(int column, int row, const uint8_t*, int32_t count) {
    log("writeRow", {column, row, count});
}

void RecordingController::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) {
    log("writeBlock", {x, y, rows, width});
    lastBlock.assign(bytes, bytes + width * 6);
}

} // namespace tessaranth::test
