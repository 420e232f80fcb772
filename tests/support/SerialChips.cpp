// SPDX-License-Identifier: GPL-2.0-or-later
#include "SerialChips.h"

#include "emu/Sh1106Emulator.h"
#include "emu/Ssd1306Emulator.h"
#include "emu/Ssd1322Emulator.h"
#include "emu/St7920Emulator.h"

namespace tessaranth::test {

void PrintTo(const SerialChip& chip, std::ostream* out) { *out << chip.name; }

std::span<const SerialChip> serialChips() {
    static const SerialChip chips[] = {
        {"ssd1306-128x64", 7, 0, [] { return std::make_unique<emu::Ssd1306Emulator>(emu::Ssd1306Emulator::Panel{}); }},
        {"ssd1306-128x32", 7, 8,
         [] { return std::make_unique<emu::Ssd1306Emulator>(emu::Ssd1306Emulator::Panel{.height = 32}); }},
        {"ssd1309-128x64", 8, 0,
         [] {
             return std::make_unique<emu::Ssd1306Emulator>(
                 emu::Ssd1306Emulator::Panel{.chip = emu::Ssd1306Emulator::Chip::Ssd1309,
                                             .chargePumpPowersPanel = false,
                                             .kind = emu::PanelKind::OledBlue});
         }},
        {"sh1106-128x64", 9, 0, [] { return std::make_unique<emu::Sh1106Emulator>(emu::Sh1106Emulator::Panel{}); }},
        {"st7920-128x64", 10, 0, [] { return std::make_unique<emu::St7920Emulator>(emu::St7920Emulator::Panel{}); },
         72},
        {"ssd1322-256x64", 11, 10, [] { return std::make_unique<emu::Ssd1322Emulator>(emu::Ssd1322Emulator::Panel{}); }},
    };
    return chips;
}

} // namespace tessaranth::test
