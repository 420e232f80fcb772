// SPDX-License-Identifier: GPL-2.0-or-later
#include "T6963CDecoder.h"

#include <iomanip>

namespace tessaranth::test {

void PrintTo(const BusItem& item, std::ostream* out) {
    *out << (item.command ? "cmd 0x" : "dat 0x") << std::hex << std::setw(2) << std::setfill('0')
         << static_cast<int>(item.value) << std::dec;
}

namespace {

// The port inverts the pins of bits 0, 1 and 3; bit 2 is passed as it is.
bool pinLow(uint8_t control, uint8_t mask) { return ((control ^ 0x04) & mask) != 0; }

} // namespace

std::vector<BusItem> decodeT6963C(const std::vector<PortAccess>& accesses, T6963CWiring wiring) {
    std::vector<BusItem> items;
    uint8_t control = 0x04;
    uint8_t data = 0;
    bool strobing = false;
    for (const PortAccess& access : accesses) {
        if (!access.write) continue;
        if (access.port == wiring.base) data = static_cast<uint8_t>(access.value);
        if (access.port != wiring.base + 2) continue;
        control = static_cast<uint8_t>(access.value);
        const bool active = pinLow(control, wiring.ce) && pinLow(control, wiring.wr);
        if (strobing && !active) items.push_back({!pinLow(control, wiring.cd), data});
        strobing = active;
    }
    return items;
}

BusItems operator+(BusItems a, const BusItems& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

BusItems wordItems(uint16_t word, uint8_t command) {
    return {dat(static_cast<uint8_t>(word & 0xFF)), dat(static_cast<uint8_t>(word >> 8)), cmd(command)};
}

BusItems addressItems(uint16_t address) { return wordItems(address, 0x24); }

BusItems autoWriteItems(const std::vector<uint8_t>& bytes) {
    BusItems items{cmd(0xB0)};
    for (uint8_t b : bytes) items.push_back(dat(b));
    items.push_back(cmd(0xB2));
    return items;
}

BusItems textItems(const char* text) {
    BusItems items;
    for (const char* c = text; *c; ++c) {
        items.push_back(dat(static_cast<uint8_t>(static_cast<uint8_t>(*c) - 32)));
        items.push_back(cmd(0xC0));
    }
    return items;
}

BusItems initItems(uint16_t textHome, uint8_t textRowBytes, uint16_t graphicHome, uint8_t graphicRowBytes,
                   uint16_t height) {
    return wordItems(textHome, 0x40) + wordItems(textRowBytes, 0x41) + wordItems(graphicHome, 0x42) +
           wordItems(graphicRowBytes, 0x43) + BusItems{cmd(0x81)} + wordItems(3, 0x22) + BusItems{cmd(0xA7)} +
           wordItems(0, 0x21) + BusItems{cmd(0x9C)} + addressItems(textHome) +
           autoWriteItems(std::vector<uint8_t>(std::size_t{textRowBytes} * (height / 8), 0)) +
           addressItems(graphicHome) + autoWriteItems(std::vector<uint8_t>(std::size_t{graphicRowBytes} * height, 0));
}

} // namespace tessaranth::test
