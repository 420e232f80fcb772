// SPDX-License-Identifier: GPL-2.0-or-later
// The Raspberry Pi's 40-pin header (every model since the B+, the Pi 5 and the Zeros included):
// what each physical pin carries, its GPIO line (the BCM number, which is the line's offset on
// the header's GPIO chip) and the bus function config.txt gives it, and the lines a display
// takes on it by default.
#pragma once

#include "settings/BusSettings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace tessaranth::piheader {

struct HeaderPin {
    uint8_t pin;
    int8_t gpio;           // -1: power or ground
    const char* function;  // power and ground: "3.3 V", "5 V", "GND"; a GPIO: its bus function, or ""
};

inline constexpr std::array<HeaderPin, 40> pins{{
    {1, -1, "3.3 V"},       {2, -1, "5 V"},
    {3, 2, "I2C1 SDA"},     {4, -1, "5 V"},
    {5, 3, "I2C1 SCL"},     {6, -1, "GND"},
    {7, 4, ""},             {8, 14, "UART TXD"},
    {9, -1, "GND"},         {10, 15, "UART RXD"},
    {11, 17, ""},           {12, 18, "PCM CLK"},
    {13, 27, ""},           {14, -1, "GND"},
    {15, 22, ""},           {16, 23, ""},
    {17, -1, "3.3 V"},      {18, 24, ""},
    {19, 10, "SPI0 MOSI"},  {20, -1, "GND"},
    {21, 9, "SPI0 MISO"},   {22, 25, ""},
    {23, 11, "SPI0 SCLK"},  {24, 8, "SPI0 CE0"},
    {25, -1, "GND"},        {26, 7, "SPI0 CE1"},
    {27, 0, "ID EEPROM SDA"}, {28, 1, "ID EEPROM SCL"},
    {29, 5, ""},            {30, -1, "GND"},
    {31, 6, ""},            {32, 12, ""},
    {33, 13, ""},           {34, -1, "GND"},
    {35, 19, "PCM FS"},     {36, 16, ""},
    {37, 26, ""},           {38, 20, "PCM DIN"},
    {39, -1, "GND"},        {40, 21, "PCM DOUT"},
}};

// The pin of a GPIO line; null for a line the header lacks.
constexpr const HeaderPin* pinOfGpio(int gpio) {
    for (const HeaderPin& pin : pins)
        if (pin.gpio >= 0 && pin.gpio == gpio) return &pin;
    return nullptr;
}

// The first pin that carries a function ("I2C1 SDA", "GND"); null when none does.
constexpr const HeaderPin* pinWith(std::string_view function) {
    for (const HeaderPin& pin : pins)
        if (function == pin.function) return &pin;
    return nullptr;
}

// Where a display is on the header unless the settings say otherwise: I2C1 (pins 3 and 5), SPI0
// with chip select CE0 (pin 24), D/C on GPIO 24 (pin 18) and reset on GPIO 25 (pin 22).
inline constexpr const char* i2cDevice = "/dev/i2c-1";
inline constexpr const char* spiDevice = "/dev/spidev0.0";
inline constexpr const char* chip = "gpiochip0";
inline constexpr int32_t dcLine = 24;
inline constexpr int32_t resetLine = 25;

// The lines suggested for a parallel-port controller on GPIO: D0 to D7, then the port's pins 1,
// 14, 16 and 17. They leave I2C1, SPI0, the serial console, the ID EEPROM and an I2S sound
// card's lines (PCM) free.
inline constexpr std::array<int32_t, 8> parallelData{5, 6, 12, 13, 16, 26, 23, 27};
inline constexpr std::array<int32_t, 4> parallelControl{17, 22, 24, 25};

// The header's parts of a display's bus settings; nothing else of them changes.
template <std::size_t size>
void putText(char (&field)[size], const char* text) {
    std::snprintf(field, size, "%s", text);
}
// I2C1.
inline void useI2c(BusSettings& bus) { putText(bus.i2cDevice, i2cDevice); }
// SPI0 on CE0, with the D/C and reset lines.
inline void useSpi(BusSettings& bus) {
    putText(bus.spiDevice, spiDevice);
    putText(bus.dc.chip, chip);
    bus.dc.offset = dcLine;
    putText(bus.reset.chip, chip);
    bus.reset.offset = resetLine;
}
// The lines of a parallel-port controller.
inline void useParallelLines(BusSettings& bus) {
    putText(bus.parallelChip, chip);
    std::ranges::copy(parallelData, bus.dataLines);
    std::ranges::copy(parallelControl, bus.controlLines);
}

} // namespace tessaranth::piheader
