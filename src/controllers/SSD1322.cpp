// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/SSD1322.h"

namespace tessaranth {

namespace {

constexpr uint8_t columnWindow = 0x15;
constexpr uint8_t rowWindow = 0x75;
constexpr uint8_t writeRam = 0x5C;
constexpr uint8_t contrast = 0xC1;
// The glass shows column addresses 0x1C .. 0x5B.
constexpr uint8_t firstColumn = 0x1C;
constexpr int pixelsPerColumn = 4;
constexpr int columnBytes = 2;
constexpr int windowBytes = 7;
constexpr int maxColumns = ShadowPageController::maxWidth / pixelsPerColumn;

struct Step {
    uint8_t command;
    uint8_t count;
    uint8_t parameters[2];
};

constexpr Step setup[] = {
    {0xFD, 1, {0x12}},        // unlock
    {0xAE, 0, {}},            // display off
    {0xB3, 1, {0x91}},        // clock
    {0xCA, 1, {0x3F}},        // multiplex ratio 64
    {0xA2, 1, {0x00}},        // no display offset
    {0xA1, 1, {0x00}},        // start line 0
    {0xA0, 2, {0x14, 0x11}},  // nibble remap, reversed scan, dual COM: upright on the modules
    {0xB5, 1, {0x00}},        // GPIO off
    {0xAB, 1, {0x01}},        // internal regulator
    {0xB4, 2, {0xA0, 0xFD}},  // display enhancement
    {0xC7, 1, {0x0F}},        // master current
    {0xB9, 0, {}},            // linear grey table
    {0xB1, 1, {0xE2}},        // phase lengths
    {0xBB, 1, {0x1F}},        // pre-charge voltage
    {0xB6, 1, {0x08}},        // second pre-charge
    {0xBE, 1, {0x07}},        // VCOMH
    {0xA6, 0, {}},            // normal display
    {0xAF, 0, {}},            // display on
};

} // namespace

void SSD1322::commandWith(uint8_t command, std::span<const uint8_t> parameters) {
    bus().command({&command, 1});
    if (!parameters.empty()) bus().data(parameters);
}

void SSD1322::sendSetup() {
    for (const Step& step : setup) commandWith(step.command, {step.parameters, step.count});
    // The brightness set last, also when the display comes back after a failure.
    commandWith(contrast, {&contrast_, 1});
}

void SSD1322::setBrightness(uint8_t level) {
    contrast_ = static_cast<uint8_t>((level & 0x0F) * 17);
    commandWith(contrast, {&contrast_, 1});
}

void SSD1322::sendColumns(int y, int first, int end) {
    const uint8_t columns[] = {static_cast<uint8_t>(firstColumn + first), static_cast<uint8_t>(firstColumn + end - 1)};
    const uint8_t rows[] = {static_cast<uint8_t>(y), static_cast<uint8_t>(y)};
    commandWith(columnWindow, columns);
    commandWith(rowWindow, rows);
    commandWith(writeRam, {});
    uint8_t bytes[maxColumns * columnBytes];
    size_t n = 0;
    for (int x = pixelsPerColumn * first; x < pixelsPerColumn * end; x += 2)
        bytes[n++] = static_cast<uint8_t>((pixel(x, y) ? 0xF0 : 0) | (pixel(x + 1, y) ? 0x0F : 0));
    bus().data({bytes, n});
    markRowSent(y, pixelsPerColumn * first, pixelsPerColumn * (end - first));
}

void SSD1322::sendChanges(bool all) {
    const int gap = gapFor(windowBytes, columnBytes);
    const int columns = width() / pixelsPerColumn;
    for (int y = 0; y < height(); ++y) {
        forEachChangedSpan(
            columns, gap, all, [&](int column) { return rowChanged(y, pixelsPerColumn * column, pixelsPerColumn); },
            [&](int first, int end) { sendColumns(y, first, end); });
    }
}

} // namespace tessaranth
