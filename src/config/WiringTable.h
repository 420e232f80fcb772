// SPDX-License-Identifier: GPL-2.0-or-later
// How a display is wired to the parallel port, as the configuration dialog offers it: the four
// control lines and the presets for known adapter boards (each controller's names for the
// signals on the lines are in its row of the controller table). The dialog's "Hardware settings" and "Wiring" pages and the hardware guide
// (docs/hardware.md, written by apps/hardwareguide) are built from these tables, so the two can
// never disagree.
#pragma once

#include <array>
#include <cstdint>

namespace tessaranth {

// The control lines by wire choice (the value of wiringCS, wiringA0, wiringWR, wiringRD).
inline constexpr const char* wiringLineNames[] = {"Strobe (pin 1)", "Line (pin 14)", "Init (pin 16)",
                                                  "Select (pin 17)"};
inline constexpr int wiringLinePins[] = {1, 14, 16, 17};

// The wiring presets: their names in the dialog's list and the wire choices they set for CS, A0,
// WR and RD; -1: the entry leaves the wiring as it is.
inline constexpr const char* wiringPresetNames[] = {
    "select preset...",   "Fenwold (T6963C, SED133x, 800)", "Fenwold (KS0108B)", "PowerLCD (SED1330)",
    "PowerLCD (T6963C)",  "Pollin (SED1330)",               "LCDInfo (KS0108B)", "LCDInfo (T6963C)"};
inline constexpr std::array<std::array<int8_t, 4>, 8> wiringPresetLines{{
    {-1, -1, -1, -1},
    {0, 3, 2, 1},
    {0, 3, 1, 2},
    {1, 2, 0, 3},
    {0, 3, 2, 1},
    {1, 2, 0, 3},
    {0, 3, 1, 2},
    {-1, -1, -1, -1},
}};
static_assert(std::size(wiringPresetNames) == wiringPresetLines.size());
static_assert(std::size(wiringLineNames) == std::size(wiringLinePins));

} // namespace tessaranth
