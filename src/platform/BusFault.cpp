// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/BusFault.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tessaranth::platform {

void BusFault::set(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text_, capacity, format, arguments);
    va_end(arguments);
}

int32_t hostOpenResult(int32_t handle, BusFault& fault, const char* device) {
    fault.terminate();
    if (handle >= 0) return handle;
    if (fault.empty()) fault.set("%s cannot be opened", device);
    return -1;
}

void describeWriteFailure(BusFault& fault, const char* device, int32_t address, int32_t error) {
    if ((error == busError::remoteIo || error == busError::noAddress) && address >= 0)
        fault.set("nothing answers at 0x%02X on %s: check the address and the wiring", static_cast<unsigned>(address),
                  device);
    else if (error == busError::shortTransfer)
        fault.set("%s sent only part of a transfer: check the wiring and the display's power", device);
    else if (error == busError::noDevice)
        fault.set("%s went away: check that the bus is still enabled and its driver loaded", device);
    else
        fault.set("%s stopped working (%s): check the wiring and the display's power", device, std::strerror(error));
}

} // namespace tessaranth::platform
