// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/KS0108B.h"

#include "controllers/PageImage.h"
#include "controllers/PageText.h"
#include "geometry/DisplayLayout.h"

#include <algorithm>

namespace tessaranth {

namespace {

// RS (pin 17) high for data, low for commands; E, CS1 and CS2 low.
constexpr uint8_t dataBase = 3;
constexpr uint8_t commandBase = 11;
constexpr uint8_t displayStartLine0 = 0xC0;
constexpr uint8_t displayOn = 0x3F;
constexpr uint8_t setPage = 0xB8;
constexpr uint8_t setColumn = 0x40;
constexpr int chipColumns = 64;
constexpr uint16_t wideDisplay = 192;

} // namespace

uint16_t KS0108B::chipOf(int column) { return column < 64 ? 1 : column < 128 ? 2 : 3; }

int KS0108B::columnLimit() const { return displayWidth_ == wideDisplay ? 192 : 128; }

bool KS0108B::selectLines(uint8_t& lines) const {
    // CS1 is wired through `wiringWR`, CS2 through `wiringRD`. A three-chip module decodes the
    // two lines: both low is chip 1.
    if (displayWidth_ == wideDisplay) {
        lines = chip_ == 1 ? 0 : chip_ == 2 ? port_.rdMask() : port_.wrMask();
        return true;
    }
    lines = chip_ == 1 ? port_.wrMask() : port_.rdMask();
    return chip_ != 3;
}

void KS0108B::cycle(uint8_t base, uint16_t value) {
    port_.writeControl(base);
    uint8_t lines = 0;
    if (!selectLines(lines)) return;
    port_.toggle(lines);
    port_.writeData(value);
    port_.toggle(port_.csMask());  // E high for two writes
    port_.writeControl(port_.controlShadow());
    port_.toggle(port_.csMask());
    port_.toggle(lines);
}

void KS0108B::writeData(uint16_t value) { cycle(dataBase, value); }

void KS0108B::writeCommand(uint16_t value) { cycle(commandBase, value); }

void KS0108B::init() {
    displayWidth_ = layout().width();
    for (uint16_t chip = 1; chip <= 3; ++chip) {
        chip_ = chip;
        writeCommand(displayStartLine0);
        writeCommand(displayOn);
        writeCommand(setPage);
        writeCommand(setColumn);
    }
    chip_ = 1;
    column_ = 0;
    page_ = 0;
    clearGraphics();
}

void KS0108B::clearGraphics() {
    const uint16_t chips = displayWidth_ == wideDisplay ? 3 : 2;
    for (uint16_t chip = 1; chip <= chips; ++chip) {
        chip_ = chip;
        writeCommand(setPage);
        writeCommand(setColumn);
        for (int page = 1; page <= pageCount; ++page) {
            for (int i = 0; i < chipColumns; ++i) writeData(0);
            writeCommand(static_cast<uint16_t>(setPage + page));  // the last, 0xC0, sets start line 0
        }
    }
}

bool KS0108B::beginRun(uint16_t page, int firstColumn) {
    if (firstColumn >= columnLimit()) return false;
    for (uint16_t chip = 1; chip <= 3; ++chip) {
        chip_ = chip;
        writeCommand(static_cast<uint16_t>(setPage + page));
        if (chip > 1) writeCommand(setColumn);
    }
    chip_ = chipOf(firstColumn);
    writeCommand(static_cast<uint16_t>(setColumn + firstColumn % chipColumns));
    runColumn_ = firstColumn;
    return true;
}

bool KS0108B::runByte(uint8_t value) {
    // A chip's column counter wraps within the chip: past the right edge nothing is sent.
    if (runColumn_ >= columnLimit()) return false;
    chip_ = chipOf(runColumn_++);
    writeData(value);
    return true;
}

void KS0108B::sendBytes(const uint8_t* bytes, int count, uint8_t mask) {
    for (int i = 0; i < count && runByte(static_cast<uint8_t>(bytes[i] ^ mask)); ++i) {
    }
}

void KS0108B::sendText(const char* text) {
    if (!text || !beginRun(page_, pageColumnsPerCell * column_)) return;
    const uint8_t mask = invertMask();
    forEachTextColumn(text, [&](uint8_t value) { return runByte(static_cast<uint8_t>(value ^ mask)); });
}

void KS0108B::sendRun(const uint8_t* bytes, int32_t count) {
    if (bytes && beginRun(page_, pageColumnsPerCell * column_)) sendBytes(bytes, std::max(count, 0), invertMask());
}

void KS0108B::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t, uint16_t width) {
    if (bytes && beginRun(y, pageColumnsPerCell * x)) sendBytes(bytes, pageColumnsPerCell * width, invertMask());
}

void KS0108B::writeScreen(const uint8_t* image) {
    if (!image) return;
    const int widest = DisplayLayout::backgroundBytes / 64;
    const int rowBytes = displayWidth_ == 128 ? 16 : std::clamp(layout().graphicRowBytes(), 0, widest);
    const uint8_t mask = invertMask();
    for (int page = 0; page < pageCount; ++page) {
        for (int column = 0; column < 8 * rowBytes; ++column) {
            chip_ = chipOf(column);
            if (column % chipColumns == 0 && column <= 128) {
                writeCommand(static_cast<uint16_t>(setPage + page));
                writeCommand(setColumn);
            }
            writeData(static_cast<uint8_t>(pageColumnByte(image, rowBytes, page, column) ^ mask));
        }
    }
}

} // namespace tessaranth
