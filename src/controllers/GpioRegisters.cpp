// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/GpioRegisters.h"

namespace tessaranth {

void GpioRegisters::write(uint16_t offset, uint16_t value) {
    const auto byte = static_cast<uint8_t>(value & 0xFF);
    if (offset == dataOffset) {
        port_.writeData(byte);
    } else if (offset == controlOffset) {
        control_ = byte;
        port_.writeControl(byte);
    }
}

uint16_t GpioRegisters::read(uint16_t offset) {
    switch (offset) {
    case dataOffset: return port_.readData();
    case statusOffset: return port_.readStatus();
    case controlOffset: return control_;
    default: return 0;
    }
}

} // namespace tessaranth
