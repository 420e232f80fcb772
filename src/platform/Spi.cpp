// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Spi.h"

#include "platform/Platform.h"

#include <algorithm>

namespace tessaranth::platform::spi {

bool hostServes() {
    const TessaranthHostServices& host = hostServices();
    return host.spiOpen && host.spiWrite && host.spiResetPulse && host.spiClose;
}

int32_t open(const Options& options, BusFault& fault) {
    fault.clear();
    if (!options.device || !options.device[0]) {
        fault.set("no SPI device is chosen: name one, e.g. /dev/spidev0.0");
        return -1;
    }
    if (!hostServes()) return native::open(options, fault);
    const TessaranthHostServices& host = hostServices();
    return hostOpenResult(host.spiOpen(host.context, options.device, options.mode, options.speedHz, fault.buffer(),
                                       BusFault::capacity),
                          fault, options.device);
}

int32_t write(int32_t handle, bool dc, const uint8_t* bytes, uint32_t length, Pace pace) {
    if (length == 0) return 0;
    if (handle < 0 || !bytes) return busError::noDevice;
    if (!hostServes()) return native::write(handle, dc, bytes, length, pace);
    const TessaranthHostServices& host = hostServices();
    // The host keeps its own time: a paced group is a write of its own, so that it can tell them apart.
    const uint32_t group = pace.bytes > 0 ? pace.bytes : length;
    for (uint32_t offset = 0; offset < length; offset += group) {
        const int32_t error = host.spiWrite(host.context, handle, dc ? 1 : 0, bytes + offset, std::min(group, length - offset));
        if (error != 0) return error;
    }
    return 0;
}

int32_t resetPulse(int32_t handle, uint32_t microseconds) {
    if (handle < 0) return busError::noDevice;
    if (!hostServes()) return native::resetPulse(handle, microseconds);
    const TessaranthHostServices& host = hostServices();
    return host.spiResetPulse(host.context, handle, microseconds);
}

void close(int32_t handle) {
    if (handle < 0) return;
    if (!hostServes()) return native::close(handle);
    const TessaranthHostServices& host = hostServices();
    host.spiClose(host.context, handle);
}

} // namespace tessaranth::platform::spi
