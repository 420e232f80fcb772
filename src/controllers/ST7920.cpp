// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ST7920.h"

#include "platform/Platform.h"

namespace tessaranth {

namespace {

constexpr uint8_t instructionSync = 0xF8;
constexpr uint8_t dataSync = 0xFA;
constexpr uint8_t basicSet = 0x30;
constexpr uint8_t displayOn = 0x0C;
constexpr uint8_t clear = 0x01;
constexpr uint8_t entryIncrement = 0x06;
constexpr uint8_t extendedSet = 0x34;
constexpr uint8_t graphicsOn = 0x36;
constexpr uint8_t gdramAddress = 0x80;
constexpr int rowPairs = 32;
constexpr int wordsPerRow = 16;
constexpr int halfWords = 8;
// A new window is two instructions, as long as one word.
constexpr int windowFrames = 2;
constexpr int wordFrames = 2;

} // namespace

ST7920::ST7920(std::unique_ptr<SpiLink> link)
    : ShadowPageController(std::move(link)), spi_(static_cast<SpiLink*>(&bus())) {}

void ST7920::frame(bool data, uint8_t value) {
    if (framed_ + 3 > sizeof frames_) send();
    frames_[framed_++] = data ? dataSync : instructionSync;
    frames_[framed_++] = static_cast<uint8_t>(value & 0xF0);
    frames_[framed_++] = static_cast<uint8_t>(value << 4);
}

void ST7920::send() {
    spi_->send({frames_, framed_}, {3, instructionMicros});
    framed_ = 0;
}

void ST7920::sendSetup() {
    frame(false, basicSet);
    frame(false, basicSet);
    frame(false, displayOn);
    frame(false, clear);
    send();
    platform::sleepMillis(clearMillis);
    frame(false, entryIncrement);
    frame(false, extendedSet);
    frame(false, graphicsOn);
    send();
}

bool ST7920::wordChanged(int vertical, int word) const {
    const int y = word < halfWords ? vertical : vertical + rowPairs;
    return rowChanged(y, 16 * (word % halfWords), 16);
}

void ST7920::sendWords(int vertical, int first, int end) {
    frame(false, static_cast<uint8_t>(gdramAddress | vertical));
    frame(false, static_cast<uint8_t>(gdramAddress | first));
    for (int word = first; word < end; ++word) {
        const int y = word < halfWords ? vertical : vertical + rowPairs;
        const int x = 16 * (word % halfWords);
        for (int half = 0; half < 2; ++half) {
            uint8_t value = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (pixel(x + 8 * half + bit, y)) value = static_cast<uint8_t>(value | (0x80 >> bit));
            frame(true, value);
        }
        markRowSent(y, x, 16);
    }
    send();
}

void ST7920::sendChanges(bool all) {
    const int gap = gapFor(windowFrames, wordFrames);
    for (int vertical = 0; vertical < rowPairs && vertical < height(); ++vertical) {
        forEachChangedSpan(
            wordsPerRow, gap, all, [&](int word) { return wordChanged(vertical, word); },
            [&](int first, int end) { sendWords(vertical, first, end); });
    }
}

} // namespace tessaranth
