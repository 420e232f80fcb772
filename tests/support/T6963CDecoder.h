// SPDX-License-Identifier: GPL-2.0-or-later
// Turns a recorded port stream into the command and data bytes a T6963C would latch, so that
// tests can compare command sequences rather than control-register values.
#pragma once

#include "HostRecorder.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace tessaranth::test {

struct BusItem {
    bool command;
    uint8_t value;
    bool operator==(const BusItem&) const = default;
};

inline BusItem cmd(uint8_t value) { return {true, value}; }
inline BusItem dat(uint8_t value) { return {false, value}; }
void PrintTo(const BusItem& item, std::ostream* out);

// Where the controller sits: the port base and the control bits of CE, C/D and WR.
struct T6963CWiring {
    uint16_t base = 0x378;
    uint8_t ce = 1;
    uint8_t cd = 8;
    uint8_t wr = 4;
};

// A byte is latched when CE and WR, both low, are released; C/D low at that moment means
// data, high a command. Pin levels follow the port: bit 2 drives its pin high, the other
// three bits drive theirs low. Reads are ignored.
std::vector<BusItem> decodeT6963C(const std::vector<PortAccess>& accesses, T6963CWiring wiring = {});

// Expected-sequence builders.
using BusItems = std::vector<BusItem>;
BusItems operator+(BusItems a, const BusItems& b);
BusItems addressItems(uint16_t address);          // data low, data high, command 0x24
BusItems wordItems(uint16_t word, uint8_t command);
BusItems autoWriteItems(const std::vector<uint8_t>& bytes);  // 0xB0, the data bytes, 0xB2
BusItems textItems(const char* text);              // (c - 32, 0xC0) per character
// What init sends for a layout: the four layout words, the modes, then both layers zeroed.
BusItems initItems(uint16_t textHome, uint8_t textRowBytes, uint16_t graphicHome, uint8_t graphicRowBytes,
                   uint16_t height);

} // namespace tessaranth::test
