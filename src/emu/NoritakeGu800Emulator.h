// SPDX-License-Identifier: GPL-2.0-or-later
// A Noritake GU128x64 800-series VFD on its parallel bus: two layers of 128 columns by 8 pages,
// written column byte by column byte, shown together by OR, dimmed by the brightness.
#pragma once

#include "emu/Emulator.h"
#include "emu/StrobedBus.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tessaranth::emu {

class NoritakeGu800Emulator : public Emulator, public StrobedChip {
public:
    static constexpr int kColumns = 128;
    static constexpr int kPages = 16;      // pages 0..7 layer 0, 8..15 layer 1
    static constexpr int kLayerPages = 8;

    NoritakeGu800Emulator(int width, int height) : width_(width), height_(height) {}

    void writeCommand(uint8_t command) override;
    void writeData(uint8_t byte) override;

    // The bus: C/D high is a command. There is no read-back of display memory.
    std::optional<uint8_t> busRead(bool lineHigh) override;

    ScreenImage screen() const override;
    PanelLook look() const override;

    uint8_t memory(int page, int column) const { return memory_[static_cast<size_t>(page)][static_cast<size_t>(column)]; }
    int page() const { return page_; }
    int column() const { return column_; }
    int brightnessLevel() const { return brightness_; }  // 0 the brightest, 15 the dimmest
    bool layerOn(int layer) const { return layer == 0 ? layer0On_ : layer1On_; }

private:
    // A command that takes the next byte as its operand.
    enum class Pending : uint8_t { None, PageAddress, ColumnAddress, AreaIndex, AreaData };

    void takeOperand(uint8_t byte);
    void clear(uint8_t command);

    int width_;
    int height_;
    std::array<std::array<uint8_t, kColumns>, kPages> memory_{};
    Pending pending_ = Pending::None;
    int page_ = 0;
    int column_ = 0;
    bool columnIncrement_ = false;
    bool pageIncrement_ = false;
    bool layer0On_ = false;
    bool layer1On_ = false;
    int brightness_ = 0;
};

} // namespace tessaranth::emu
