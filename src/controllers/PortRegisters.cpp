#include "controllers/PortRegisters.h"

#include "platform/Platform.h"

namespace tessaranth {

void LptRegisters::write(uint16_t offset, uint16_t value) {
    platform::writePort(static_cast<uint16_t>(base_ + offset), value);
}

uint16_t LptRegisters::read(uint16_t offset) { return platform::readPort(static_cast<uint16_t>(base_ + offset)); }

} // namespace tessaranth
