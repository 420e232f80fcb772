// SPDX-License-Identifier: GPL-2.0-or-later
// The controllers that the `controller` setting names, one row each: how the dialog lists it,
// its family, the display sizes it serves, whether it has a brightness, its transport and how
// its driver is made. Every part that needs to know something of a controller asks this table;
// adding a controller on an existing transport is a row here, its maker in ControllerTable.cpp
// and a driver.
#pragma once

#include "controllers/ControllerLSI.h"
#include "controllers/DriverOptions.h"
#include "geometry/DisplayLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessaranth {

enum class Transport : uint8_t {
    parallelPort,  // the LPT port's registers
    usbAdapter,    // the USB adapter's byte stream
    i2c,           // I2C messages with a control byte
    spi,           // SPI with a D/C line (none on the ST7920)
};

using DriverMaker = ControllerLSI* (*)(const DriverSetup& setup);

struct ControllerRow {
    uint8_t value;      // the `controller` setting
    const char* name;   // as the dialog lists it
    ControllerFamily family;
    // One address pitch for both layers: text rows lie the graphic row bytes apart.
    bool sharedPitch;
    // The controller's names of the signals on the lines of wiringCS, wiringA0, wiringWR and
    // wiringRD.
    std::array<const char*, 4> signalNames;
    uint16_t displayFormats;  // bit n: the size of display format n
    bool brightness;
    Transport transport;
    // The driver, with its transport set up as given; the caller owns it.
    DriverMaker makeDriver;

    constexpr bool serves(uint8_t displayFormat) const {
        return displayFormat < 16 && ((displayFormats >> displayFormat) & 1) != 0;
    }
};

namespace drivers {
ControllerLSI* makeT6963C(const DriverSetup& setup);
ControllerLSI* makeSED133x(const DriverSetup& setup);
ControllerLSI* makeKS0108B(const DriverSetup& setup);
ControllerLSI* makeNoritakeVFD(const DriverSetup& setup);
ControllerLSI* makeUSB2LCD(const DriverSetup& setup);
ControllerLSI* makeSSD1306(const DriverSetup& setup);
ControllerLSI* makeSSD1309(const DriverSetup& setup);
ControllerLSI* makeSH1106(const DriverSetup& setup);
ControllerLSI* makeST7920(const DriverSetup& setup);
ControllerLSI* makeSSD1322(const DriverSetup& setup);
} // namespace drivers

namespace sizes {
// Display formats (geometry/DisplayFormat.h): 0 128x64, 1 128x128, 2 240x64, 3 240x128,
// 4 256x128, 5 320x200, 6 320x240, 7 192x64, 8 128x32, 9 none ("256 x 32 (N/A)"), 10 256x64.
inline constexpr uint16_t every = 0x1FF;
inline constexpr uint16_t chipColumns = (1u << 0) | (1u << 7) | (1u << 8);
inline constexpr uint16_t only128x64 = 1u << 0;
inline constexpr uint16_t only240x128 = 1u << 3;
inline constexpr uint16_t oled128 = (1u << 0) | (1u << 8);
inline constexpr uint16_t only256x64 = 1u << 10;
} // namespace sizes

// In the order of their values, which is the order of the dialog's list.
inline constexpr ControllerRow controllerTable[] = {
    {0, "T6963C", ControllerFamily::textLayer, false, {"CE", "C/D", "WR", "RD"}, sizes::every, false,
     Transport::parallelPort, drivers::makeT6963C},
    {1, "SED1330", ControllerFamily::textLayer, true, {"CS", "A0", "WR", "RD"}, sizes::every, false,
     Transport::parallelPort, drivers::makeSED133x},
    {2, "SED1335", ControllerFamily::textLayer, true, {"CS", "A0", "WR", "RD"}, sizes::every, false,
     Transport::parallelPort, drivers::makeSED133x},
    {3, "KS0108B", ControllerFamily::pages, false, {"E", "RS", "CS1", "CS2"}, sizes::chipColumns, false,
     Transport::parallelPort, drivers::makeKS0108B},
    // A KS0108B display in every respect.
    {4, "HD61830 (N/A)", ControllerFamily::pages, false, {"E", "RS", "CS1", "CS2"}, sizes::chipColumns, false,
     Transport::parallelPort, drivers::makeKS0108B},
    {5, "Noritake 800(A)", ControllerFamily::pages, false, {"CSS", "C/D", "WR", "RD"}, sizes::only128x64, true,
     Transport::parallelPort, drivers::makeNoritakeVFD},
    {6, "USB2LCD", ControllerFamily::textLayer, false, {"N/A", "N/A", "N/A", "N/A"}, sizes::only240x128, false,
     Transport::usbAdapter, drivers::makeUSB2LCD},
    {7, "SSD1306", ControllerFamily::pages, false, {"N/A", "N/A", "N/A", "N/A"}, sizes::oled128, false, Transport::i2c,
     drivers::makeSSD1306},
    {8, "SSD1309", ControllerFamily::pages, false, {"N/A", "N/A", "N/A", "N/A"}, sizes::only128x64, false,
     Transport::i2c, drivers::makeSSD1309},
    {9, "SH1106", ControllerFamily::pages, false, {"N/A", "N/A", "N/A", "N/A"}, sizes::only128x64, false,
     Transport::i2c, drivers::makeSH1106},
    {10, "ST7920", ControllerFamily::pages, false, {"N/A", "N/A", "N/A", "N/A"}, sizes::only128x64, false,
     Transport::spi, drivers::makeST7920},
    {11, "SSD1322", ControllerFamily::pages, false, {"N/A", "N/A", "N/A", "N/A"}, sizes::only256x64, true,
     Transport::spi, drivers::makeSSD1322},
};

constexpr bool valuesInOrder() {
    for (std::size_t i = 0; i < std::size(controllerTable); ++i)
        if (controllerTable[i].value != i) return false;
    return true;
}
static_assert(valuesInOrder(), "a row's value is its place in the dialog's list");

// The row of a `controller` value; null for a value without one.
constexpr const ControllerRow* findController(uint8_t value) {
    return value < std::size(controllerTable) ? &controllerTable[value] : nullptr;
}

// An SPI controller told commands from data by a D/C line; the ST7920 tells them by its bytes.
constexpr bool takesDcLine(const ControllerRow& row) {
    return row.transport == Transport::spi && row.makeDriver != drivers::makeST7920;
}

// A controller whose first shown memory column is settable: the SH1106, 132 columns for 128 shown.
constexpr bool takesColumnOffset(const ControllerRow& row) { return row.makeDriver == drivers::makeSH1106; }

// The dialog's list of controllers.
inline constexpr auto controllerNames = [] {
    std::array<const char*, std::size(controllerTable)> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = controllerTable[i].name;
    return names;
}();

// The signal names the dialog shows for a value without a row.
inline constexpr std::array<const char*, 4> unknownSignalNames{"unknown", "unknown", "unknown", "unknown"};

} // namespace tessaranth
