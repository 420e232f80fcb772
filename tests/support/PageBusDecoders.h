// SPDX-License-Identifier: GPL-2.0-or-later
// Turn a recorded port stream into what a KS0108B module or a Noritake VFD would latch, read
// from the pin levels as the chips see them (the port inverts the pins of control bits 0, 1
// and 3), so that tests compare chips, commands and data rather than register values.
#pragma once

#include "HostRecorder.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace tessaranth::test {

// One write latched by a KS0108B module: `chips` has bit c-1 set for each chip c selected.
struct ChipItem {
    uint8_t chips;
    bool command;
    uint8_t value;
    bool operator==(const ChipItem&) const = default;
};
void PrintTo(const ChipItem& item, std::ostream* out);

// Where the module sits: the control bits that carry E, CS1 and CS2; RS is on pin 17 (bit 3).
struct KS0108BWiring {
    uint16_t base = 0x378;
    uint8_t e = 1;
    uint8_t cs1 = 4;
    uint8_t cs2 = 2;
    bool threeChips = false;  // a 192-wide module decodes CS1 and CS2 into three selects
};

// A write is latched on the falling edge of E. Two-chip modules select a chip by raising its
// CS line; three-chip modules: both low is chip 1, CS2 alone high chip 2, CS1 alone high chip 3.
std::vector<ChipItem> decodeKS0108B(const std::vector<PortAccess>& accesses, KS0108BWiring wiring = {});

// The Noritake VFD's bus: WR on the control bit `wr`, C/D on pin 17 (high: command); a write
// is latched at the end of the WR strobe.
struct VfdItem {
    bool command;
    uint8_t value;
    bool operator==(const VfdItem&) const = default;
};
void PrintTo(const VfdItem& item, std::ostream* out);
std::vector<VfdItem> decodeNoritake(const std::vector<PortAccess>& accesses, uint16_t base = 0x378, uint8_t wr = 4);

} // namespace tessaranth::test
