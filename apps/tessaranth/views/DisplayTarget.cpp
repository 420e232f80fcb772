// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/DisplayTarget.h"

namespace tessaranth::host {

NullDisplay::NullDisplay() {
    services_.version = TESSARANTH_HOST_SERVICES_VERSION;
    services_.writePort = [](void*, uint16_t, uint16_t) {};
    services_.readPort = [](void*, uint16_t) -> uint16_t { return 0; };
    services_.usbOpen = [](void*) -> int32_t { return 0; };
    services_.usbSetBaudRate = [](void*, uint32_t) -> int32_t { return 0; };
    services_.usbWrite = [](void*, const uint8_t*, uint32_t length) -> int32_t { return static_cast<int32_t>(length); };
    services_.usbClose = [](void*) {};
    services_.i2cOpen = [](void*, const char*, uint8_t, char*, uint32_t) -> int32_t { return 0; };
    services_.i2cWrite = [](void*, int32_t, const TessaranthI2cMessage*, uint32_t) -> int32_t { return 0; };
    services_.i2cClose = [](void*, int32_t) {};
    services_.spiOpen = [](void*, const char*, uint8_t, uint32_t, char*, uint32_t) -> int32_t { return 0; };
    services_.spiWrite = [](void*, int32_t, int32_t, const uint8_t*, uint32_t) -> int32_t { return 0; };
    services_.spiResetPulse = [](void*, int32_t, uint32_t) -> int32_t { return 0; };
    services_.spiClose = [](void*, int32_t) {};
    services_.gpioOpen = [](void*, const char*, const uint32_t*, uint32_t, uint64_t, char*, uint32_t) -> int32_t { return 0; };
    services_.gpioSet = [](void*, int32_t, uint64_t, uint64_t) -> int32_t { return 0; };
    services_.gpioClose = [](void*, int32_t) {};
}

} // namespace tessaranth::host
