// SPDX-License-Identifier: GPL-2.0-or-later
// A KS0108B module: two or three chips side by side, each 64 columns by 8 pages of 8 rows.
// A write is latched on the falling edge of E by every chip whose select is active.
#pragma once

#include "emu/Emulator.h"
#include "emu/ParallelPort.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tessaranth::emu {

class Ks0108bEmulator : public Emulator, public BusDevice {
public:
    // The order of the signals in a wiring. R/W is tied low: the module is only written.
    enum Signal : size_t { Enable = 0, RegisterSelect = 1, ChipSelect1 = 2, ChipSelect2 = 3 };

    // How the module decodes CS1 and CS2. With two chips, each line selects its own chip when it
    // is at its active level. With three, a decoder picks one: neither active is chip 1, CS2
    // alone chip 2, CS1 alone chip 3, both none.
    enum class SelectLevel : uint8_t { ActiveHigh, ActiveLow };

    Ks0108bEmulator(int width, int height, int chips, SelectLevel level);

    // One write, to the chips in `chipMask` (bit 0 the leftmost chip); RS high is data.
    void write(unsigned chipMask, bool data, uint8_t byte);
    // Which chips the select lines pick; bit 0 the leftmost chip.
    unsigned selectedChips(bool cs1High, bool cs2High) const;

    void linesChanged(const BusLines& lines) override;
    ScreenImage screen() const override;

    struct Chip {
        std::array<uint8_t, 512> ram{};  // page * 64 + column
        uint8_t page = 0;
        uint8_t column = 0;
        uint8_t startLine = 0;
        bool on = false;
    };
    const Chip& chip(int index) const { return chips_[static_cast<size_t>(index)]; }
    int chipCount() const { return static_cast<int>(chips_.size()); }

private:
    void instruction(Chip& chip, uint8_t byte);

    int width_;
    int height_;
    SelectLevel level_;
    std::vector<Chip> chips_;
    bool enableHigh_ = false;
};

} // namespace tessaranth::emu
