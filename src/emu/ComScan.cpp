// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/ComScan.h"

#include <algorithm>

namespace tessaranth::emu {

namespace {
constexpr int kFewestLines = 16;
} // namespace

ComScan::ComScan(int memoryRows, int panelRows, ComPins panelWiring)
    : memoryRows_(std::max(memoryRows, 1)), panelRows_(std::clamp(panelRows, 0, memoryRows_)), wiring_(panelWiring),
      lines_(memoryRows_), pins_(panelWiring) {}

void ComScan::setLines(int lines) { lines_ = std::clamp(lines, std::min(kFewestLines, memoryRows_), memoryRows_); }

int ComScan::panelRowOfCom(int com) const {
    if (com >= panelRows_) return -1;
    const int half = panelRows_ / 2;
    int row = com;
    if (pins_.alternative != wiring_.alternative)
        row = wiring_.alternative ? (com < half ? 2 * com : 2 * (com - half) + 1) : (com % 2 == 0 ? com / 2 : half + com / 2);
    if (pins_.leftRightSwap != wiring_.leftRightSwap) row = wiring_.alternative ? row ^ 1 : (row + half) % panelRows_;
    return row < panelRows_ ? row : -1;
}

std::vector<int> ComScan::memoryRowOfGlassRows() const {
    std::vector<int> rows(static_cast<size_t>(panelRows_), -1);
    for (int line = 0; line < lines_; ++line) {
        const int panelRow = panelRowOfCom(reversed_ ? lines_ - 1 - line : line);
        if (panelRow < 0) continue;
        const int glassRow = kComZeroAtBottom ? panelRows_ - 1 - panelRow : panelRow;
        rows[static_cast<size_t>(glassRow)] = (line + startLine_ + offset_) % memoryRows_;
    }
    return rows;
}

ScreenImage ComScan::picture(int width, const std::function<int(int x, int memoryRow)>& levelOf) const {
    ScreenImage image(width, panelRows_);
    const std::vector<int> rows = memoryRowOfGlassRows();
    for (int y = 0; y < panelRows_; ++y) {
        const int row = rows[static_cast<size_t>(y)];
        if (row < 0) continue;
        for (int x = 0; x < width; ++x) image.setLevel(x, y, levelOf(x, row));
    }
    return image;
}

} // namespace tessaranth::emu
