// How a display is wired to the parallel port, as the configuration dialog offers it: the four
// control lines, each controller's names for the signals on them, and the presets for known
// adapter boards. The dialog's "Hardware settings" and "Wiring" pages and the hardware guide
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

// The controller list, by the controller setting.
inline constexpr const char* controllerNames[] = {"T6963C",  "SED1330",         "SED1335", "KS0108B",
                                                  "HD61830 (N/A)", "Noritake 800(A)", "USB2LCD"};

// The controller's names of the signals on the lines of wiringCS, wiringA0, wiringWR and wiringRD,
// by controller; the last row serves every controller above 6.
inline constexpr std::array<std::array<const char*, 4>, 8> controllerSignalNames{{
    {"CE", "C/D", "WR", "RD"},
    {"CS", "A0", "WR", "RD"},
    {"CS", "A0", "WR", "RD"},
    {"E", "RS", "CS1", "CS2"},
    {"E", "RS", "CS1", "CS2"},
    {"CSS", "C/D", "WR", "RD"},
    {"N/A", "N/A", "N/A", "N/A"},
    {"unknown", "unknown", "unknown", "unknown"},
}};

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
