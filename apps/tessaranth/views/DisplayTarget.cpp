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
}

} // namespace tessaranth::host
