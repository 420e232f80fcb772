#include "controllers/ParallelPort.h"

#include "controllers/DriverHost.h"
#include "globals/Globals.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

namespace tessaranth {

void ParallelPort::takeWiring() {
    csMask_ = DriverHost::wireBit(gSettings->wiringCS());
    a0Mask_ = DriverHost::wireBit(gSettings->wiringA0());
    wrMask_ = DriverHost::wireBit(gSettings->wiringWR());
    rdMask_ = DriverHost::wireBit(gSettings->wiringRD());
}

uint16_t ParallelPort::base() { return gDriverHost->getPortAddress(); }

void ParallelPort::writeControl(uint8_t value) {
    controlShadow_ = value;
    platform::writePort(static_cast<uint16_t>(base() + controlOffset), controlShadow_);
}

void ParallelPort::toggle(uint8_t mask) { writeControl(static_cast<uint8_t>(controlShadow_ ^ mask)); }

void ParallelPort::writeData(uint16_t value) { platform::writePort(static_cast<uint16_t>(base() + dataOffset), value); }

uint8_t ParallelPort::readData() {
    return static_cast<uint8_t>(platform::readPort(static_cast<uint16_t>(base() + dataOffset)) & 0xFF);
}

uint8_t ParallelPort::readStatus() {
    return static_cast<uint8_t>(platform::readPort(static_cast<uint16_t>(base() + statusOffset)) & 0xFF);
}

} // namespace tessaranth
