// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/TerminalImage.h"

#include <cstdint>

namespace tessaranth::emu {

std::string terminalImage(const ScreenImage& screen) {
    static constexpr const char* kCells[4] = {" ", "\u2580", "\u2584", "\u2588"};  // none, upper, lower, both
    std::string text;
    for (int y = 0; y < screen.height(); y += 2) {
        for (int x = 0; x < screen.width(); ++x)
            text += kCells[(screen.pixel(x, y) ? 1 : 0) | (screen.pixel(x, y + 1) ? 2 : 0)];
        text += '\n';
    }
    return text;
}

namespace {

// The pattern's bit for the dot in column dx (0, 1) and row dy (0..3) of its cell.
constexpr uint8_t kBrailleBits[4][2] = {{0x01, 0x08}, {0x02, 0x10}, {0x04, 0x20}, {0x40, 0x80}};

bool litInside(const ScreenImage& screen, int x, int y) {
    return x < screen.width() && y < screen.height() && screen.pixel(x, y);
}

// U+2800 plus the dots' bits, in UTF-8.
void appendBraille(std::string& text, uint8_t dots) {
    text += static_cast<char>(0xE2);
    text += static_cast<char>(0xA0 | dots >> 6);
    text += static_cast<char>(0x80 | (dots & 0x3F));
}

} // namespace

std::string brailleImage(const ScreenImage& screen) {
    std::string text;
    for (int y = 0; y < screen.height(); y += 4) {
        for (int x = 0; x < screen.width(); x += 2) {
            uint8_t dots = 0;
            for (int dy = 0; dy < 4; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    if (litInside(screen, x + dx, y + dy)) dots |= kBrailleBits[dy][dx];
            appendBraille(text, dots);
        }
        text += '\n';
    }
    return text;
}

} // namespace tessaranth::emu
