// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/NoritakeVFD.h"

#include "controllers/PageImage.h"
#include "controllers/PageText.h"
#include "controllers/Runs.h"
#include "platform/Platform.h"

#include <algorithm>

namespace tessaranth {

namespace {

// Pin 1 low, pins 14 and 16 high; pin 17 (C/D) low for data, high for commands.
constexpr uint8_t dataBase = 13;
constexpr uint8_t commandBase = 5;
constexpr uint8_t clearDisplay = 0x5F;
constexpr uint8_t setPage = 0x60;
constexpr uint8_t areaSet = 0x62;
constexpr uint8_t setX = 0x64;
constexpr uint8_t autoIncrementX = 0x84;
constexpr uint8_t layersOn = 0x2C;
constexpr uint8_t brightnessLevel4 = 0x44;
constexpr uint16_t moduleWidth = 128;
// Runs and the screen go to the second layer's pages 8..15; text and blocks to pages 0..7.
constexpr uint16_t secondLayer = 8;
constexpr int screenRowBytes = moduleWidth / 8;
constexpr uint8_t brightness = 0x40;
constexpr int fadeSteps = 16;
constexpr uint32_t fadeStepMillis = 100;

} // namespace

void NoritakeVFD::cycle(uint8_t base, uint16_t value) {
    port_.writeControl(base);
    port_.writeData(value);
    port_.toggle(port_.wrMask());
    port_.toggle(port_.wrMask());
}

void NoritakeVFD::writeData(uint16_t value) { cycle(dataBase, value); }

void NoritakeVFD::writeCommand(uint16_t value) { cycle(commandBase, value); }

void NoritakeVFD::init() {
    clearGraphics();
    for (uint16_t area = 0; area < pageCount; ++area) {
        writeCommand(areaSet);
        writeCommand(area);
        writeData(0xFF);
    }
    writeCommand(autoIncrementX);
    writeCommand(layersOn);
    writeCommand(brightnessLevel4);
    displayWidth_ = moduleWidth;
    column_ = 0;
    page_ = 0;
}

void NoritakeVFD::clearGraphics() {
    writeCommand(clearDisplay);
    port_.sleepMillis(1);
}

void NoritakeVFD::close() {
    for (uint8_t level = 0; level < fadeSteps; ++level) {
        setBrightness(level);
        port_.sleepMillis(fadeStepMillis);
    }
    clearGraphics();
    port_.flush();
}

void NoritakeVFD::setBrightness(uint8_t level) { writeCommand(static_cast<uint16_t>(brightness | (level & 0x0F))); }

bool NoritakeVFD::beginRun(uint16_t pageByte, int firstColumn) {
    if (firstColumn >= displayWidth_) return false;
    writeCommand(setPage);
    writeCommand(pageByte);
    writeCommand(setX);
    writeCommand(static_cast<uint16_t>(firstColumn));
    runColumn_ = firstColumn;
    return true;
}

bool NoritakeVFD::runByte(uint8_t value) {
    // Past the right edge the module would carry on in the wrong place: nothing is sent.
    if (runColumn_ >= displayWidth_) return false;
    ++runColumn_;
    writeData(value);
    return true;
}

void NoritakeVFD::sendText(const char* text) {
    if (text && beginRun(page_, pageColumnsPerCell * column_))
        forEachTextColumn(text, [this](uint8_t value) { return runByte(value); });
}

void NoritakeVFD::sendBytes(const uint8_t* bytes, int32_t count, uint8_t mask) {
    const int32_t sent = std::min<int32_t>(count, displayWidth_ - runColumn_);
    for (int32_t i = 0; i < sent; ++i) runByte(static_cast<uint8_t>(bytes[i] ^ mask));
}

void NoritakeVFD::sendRun(const uint8_t* bytes, int32_t count) {
    if (bytes && beginRun(static_cast<uint16_t>(page_ + secondLayer), pageColumnsPerCell * column_))
        sendBytes(bytes, count, invertMask());
}

void NoritakeVFD::highlightLine(int16_t column, int16_t line, int16_t width, bool lit) {
    place(column, line);
    sendRun(lit ? runs::lit.data() : runs::dark.data(), std::min(pageColumnsPerCell * width + 1, runs::longest));
}

// Blocks are sent as given: the inverse setting does not apply to them.
void NoritakeVFD::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t, uint16_t width) {
    if (bytes && beginRun(y, pageColumnsPerCell * x)) sendBytes(bytes, pageColumnsPerCell * width, 0);
}

void NoritakeVFD::writeScreen(const uint8_t* image) {
    if (!image) return;
    const uint8_t mask = invertMask();
    for (int page = 0; page < pageCount; ++page) {
        beginRun(static_cast<uint16_t>(page + secondLayer), 0);
        for (int column = 0; column < moduleWidth; ++column)
            runByte(static_cast<uint8_t>(pageColumnByte(image, screenRowBytes, page, column) ^ mask));
    }
}

} // namespace tessaranth
