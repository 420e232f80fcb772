// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/NoritakeGu800Emulator.h"

namespace tessaranth::emu {

namespace {

constexpr uint8_t kPageAddress = 0x60;
constexpr uint8_t kAreaSet = 0x62;
constexpr uint8_t kColumnAddress = 0x64;

// Assumed: level 0 (command 0x40) is the brightest, each step one sixteenth dimmer.
double glowOfLevel(int level) { return (16.0 - level) / 16.0; }

} // namespace

std::optional<uint8_t> NoritakeGu800Emulator::busRead(bool) {
    problems_.report("read cycle: the VFD has no read-back");
    return std::nullopt;
}

void NoritakeGu800Emulator::takeOperand(uint8_t byte) {
    const Pending pending = pending_;
    pending_ = Pending::None;
    switch (pending) {
    case Pending::PageAddress:
        if (byte >= kPages) return problems_.report("page address " + hexText(byte) + " beyond page 15");
        page_ = byte;
        return;
    case Pending::ColumnAddress:
        if (byte >= kColumns) return problems_.report("column address " + hexText(byte) + " beyond column 127");
        column_ = byte;
        return;
    default: pending_ = Pending::AreaData; return;  // the area number; its kind follows as data
    }
}

void NoritakeGu800Emulator::writeCommand(uint8_t command) {
    if (pending_ == Pending::AreaData) {
        problems_.report("display area set got command " + hexText(command) + " where its data byte belongs");
        pending_ = Pending::None;
    }
    if (pending_ != Pending::None) return takeOperand(command);
    if (command >= 0x20 && command <= 0x2F) {
        layer0On_ = command & 0x04;
        layer1On_ = command & 0x08;
    } else if (command >= 0x40 && command <= 0x4F) {
        brightness_ = command & 0x0F;
    } else if (command >= 0x52 && command <= 0x5F) {
        clear(command);
    } else if (command >= 0x80 && command <= 0x8F) {
        columnIncrement_ = command & 0x04;
        pageIncrement_ = command & 0x08;
    } else if (command == kPageAddress) {
        pending_ = Pending::PageAddress;
    } else if (command == kColumnAddress) {
        pending_ = Pending::ColumnAddress;
    } else if (command == kAreaSet) {
        pending_ = Pending::AreaIndex;
    } else {
        problems_.report("unknown command " + hexText(command));
    }
}

// Assumed coding of the clear commands 0x52..0x5F: bit 2 clears layer 0, bit 3 layer 1, bit 0
// homes the addresses (0x5F does all three).
void NoritakeGu800Emulator::clear(uint8_t command) {
    for (int page = 0; page < kPages; ++page) {
        const bool layer0 = page < kLayerPages;
        if ((layer0 && (command & 0x04)) || (!layer0 && (command & 0x08))) memory_[static_cast<size_t>(page)].fill(0);
    }
    if (command & 0x01) page_ = column_ = 0;
}

void NoritakeGu800Emulator::writeData(uint8_t byte) {
    if (pending_ == Pending::AreaData) {
        pending_ = Pending::None;
        if (byte != 0xFF && byte != 0x00) problems_.report("display area kind " + hexText(byte) + " is neither 0x00 nor 0xFF");
        return;
    }
    if (pending_ != Pending::None) {
        problems_.report("data byte " + hexText(byte) + " where an address byte (a command) belongs");
        pending_ = Pending::None;
        return;
    }
    memory_[static_cast<size_t>(page_)][static_cast<size_t>(column_)] = byte;
    if (columnIncrement_) column_ = (column_ + 1) % kColumns;
    if (pageIncrement_) page_ = (page_ + 1) % kPages;
}

ScreenImage NoritakeGu800Emulator::screen() const {
    ScreenImage image(width_, height_);
    for (int y = 0; y < height_ && y < kLayerPages * 8; ++y)
        for (int x = 0; x < width_ && x < kColumns; ++x) {
            const size_t page = static_cast<size_t>(y / 8);
            const bool zero = layer0On_ && ((memory_[page][static_cast<size_t>(x)] >> (y % 8)) & 1);
            const bool one = layer1On_ && ((memory_[page + kLayerPages][static_cast<size_t>(x)] >> (y % 8)) & 1);
            image.setPixel(x, y, zero || one);
        }
    return image;
}

PanelLook NoritakeGu800Emulator::look() const { return {PanelKind::Vfd, glowOfLevel(brightness_)}; }

} // namespace tessaranth::emu
