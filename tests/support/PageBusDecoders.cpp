// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageBusDecoders.h"

#include <iomanip>

namespace tessaranth::test {

namespace {

constexpr uint8_t pin17 = 8;

// The pin level of a control bit: bits 0, 1 and 3 are inverted by the port, bit 2 is not.
bool pinHigh(uint8_t control, uint8_t mask) { return ((control ^ 0x0B) & mask) != 0; }

uint8_t selectedChips(uint8_t control, const KS0108BWiring& wiring) {
    const bool cs1 = pinHigh(control, wiring.cs1);
    const bool cs2 = pinHigh(control, wiring.cs2);
    if (!wiring.threeChips) return static_cast<uint8_t>((cs1 ? 1 : 0) | (cs2 ? 2 : 0));
    if (!cs1 && !cs2) return 1;
    if (cs2 && !cs1) return 2;
    if (cs1 && !cs2) return 4;
    return 0;
}

void printHex(std::ostream* out, uint8_t value) {
    *out << "0x" << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(value) << std::dec;
}

} // namespace

void PrintTo(const ChipItem& item, std::ostream* out) {
    *out << "chips " << static_cast<int>(item.chips) << (item.command ? " cmd " : " dat ");
    printHex(out, item.value);
}

void PrintTo(const VfdItem& item, std::ostream* out) {
    *out << (item.command ? "cmd " : "dat ");
    printHex(out, item.value);
}

std::vector<ChipItem> decodeKS0108B(const std::vector<PortAccess>& accesses, KS0108BWiring wiring) {
    std::vector<ChipItem> items;
    uint8_t control = 0x03;  // E and both selects low
    uint8_t data = 0;
    for (const PortAccess& access : accesses) {
        if (!access.write) continue;
        if (access.port == wiring.base) data = static_cast<uint8_t>(access.value);
        if (access.port != wiring.base + 2) continue;
        const auto next = static_cast<uint8_t>(access.value);
        const bool falling = pinHigh(control, wiring.e) && !pinHigh(next, wiring.e);
        if (falling && selectedChips(next, wiring))
            items.push_back({selectedChips(next, wiring), !pinHigh(next, pin17), data});
        control = next;
    }
    return items;
}

std::vector<VfdItem> decodeNoritake(const std::vector<PortAccess>& accesses, uint16_t base, uint8_t wr) {
    std::vector<VfdItem> items;
    uint8_t control = 0x0F;
    uint8_t data = 0;
    for (const PortAccess& access : accesses) {
        if (!access.write) continue;
        if (access.port == base) data = static_cast<uint8_t>(access.value);
        if (access.port != base + 2) continue;
        const auto next = static_cast<uint8_t>(access.value);
        if (!pinHigh(control, wr) && pinHigh(next, wr)) items.push_back({pinHigh(next, pin17), data});
        control = next;
    }
    return items;
}

} // namespace tessaranth::test
