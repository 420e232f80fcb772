// SPDX-License-Identifier: GPL-2.0-or-later
// A controller's address window, as the SSD1306's 0x21/0x22 and the SSD1322's 0x15/0x75 set
// it: a first and a last address, and the pointer that runs through them.
#pragma once

namespace tessaranth::emu {

struct AddressWindow {
    int first = 0;
    int last = 0;
    int size = 1;  // addresses the chip has: the pointer wraps from size - 1 to 0
    int pointer = 0;

    static AddressWindow whole(int size) { return {0, size - 1, size, 0}; }

    // Sets the window, and the pointer to its first address.
    void set(int firstAddress, int lastAddress) {
        first = pointer = firstAddress;
        last = lastAddress;
    }
    // Moves the pointer one address on; true when it went from the last address back to the first.
    bool step() {
        const bool wraps = pointer == last;
        pointer = wraps ? first : (pointer + 1) % size;
        return wraps;
    }
};

} // namespace tessaranth::emu
