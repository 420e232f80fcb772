// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Ks0108bEmulator.h"

#include <algorithm>

namespace tessaranth::emu {

namespace {
constexpr int kColumns = 64;
constexpr int kRows = 64;
} // namespace

Ks0108bEmulator::Ks0108bEmulator(int width, int height, int chips, SelectLevel level)
    : width_(width), height_(height), level_(level), chips_(static_cast<size_t>(std::clamp(chips, 1, 3))) {}

unsigned Ks0108bEmulator::selectedChips(bool cs1High, bool cs2High) const {
    const bool one = level_ == SelectLevel::ActiveHigh ? cs1High : !cs1High;
    const bool two = level_ == SelectLevel::ActiveHigh ? cs2High : !cs2High;
    if (chips_.size() < 3) return (one ? 1u : 0u) | (two ? 2u : 0u);
    if (one && two) return 0;
    return one ? 4u : two ? 2u : 1u;
}

void Ks0108bEmulator::linesChanged(const BusLines& lines) {
    const bool enableHigh = lines.high[Enable];
    if (enableHigh_ && !enableHigh) {
        const unsigned mask = selectedChips(lines.high[ChipSelect1], lines.high[ChipSelect2]);
        if (mask == 0)
            problems_.report("write " + hexText(lines.data) + " with no chip selected");
        else
            write(mask, lines.high[RegisterSelect], lines.data);
    }
    enableHigh_ = enableHigh;
}

void Ks0108bEmulator::write(unsigned chipMask, bool data, uint8_t byte) {
    for (size_t index = 0; index < chips_.size(); ++index) {
        if (!(chipMask & (1u << index))) continue;
        Chip& chip = chips_[index];
        if (!data) {
            instruction(chip, byte);
            continue;
        }
        chip.ram[static_cast<size_t>(chip.page * kColumns + chip.column)] = byte;
        chip.column = static_cast<uint8_t>((chip.column + 1) % kColumns);
    }
}

void Ks0108bEmulator::instruction(Chip& chip, uint8_t byte) {
    if (byte == 0x3E || byte == 0x3F)
        chip.on = byte == 0x3F;
    else if (byte >= 0xC0)
        chip.startLine = byte & 0x3F;
    else if (byte >= 0xB8)
        chip.page = byte & 0x07;
    else if (byte >= 0x40 && byte < 0x80)
        chip.column = byte & 0x3F;
    else
        problems_.report("unknown instruction " + hexText(byte));
}

ScreenImage Ks0108bEmulator::screen() const {
    ScreenImage image(width_, height_);
    for (int x = 0; x < width_; ++x) {
        const size_t index = static_cast<size_t>(x / kColumns);
        if (index >= chips_.size() || !chips_[index].on) continue;
        const Chip& chip = chips_[index];
        for (int y = 0; y < height_ && y < kRows; ++y) {
            const int row = (y + chip.startLine) % kRows;
            image.setPixel(x, y, (chip.ram[static_cast<size_t>(row / 8 * kColumns + x % kColumns)] >> (row % 8)) & 1);
        }
    }
    return image;
}

} // namespace tessaranth::emu
