#include "emu/TerminalImage.h"

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

} // namespace tessaranth::emu
