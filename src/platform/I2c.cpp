// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/I2c.h"

#include "platform/Platform.h"

namespace tessaranth::platform::i2c {

bool hostServes() {
    const TessaranthHostServices& host = hostServices();
    return host.i2cOpen && host.i2cWrite && host.i2cClose;
}

int32_t open(const char* device, uint8_t address7, BusFault& fault) {
    fault.clear();
    if (!device || !device[0]) {
        fault.set("no I2C device is chosen: name one, e.g. /dev/i2c-1");
        return -1;
    }
    if (!hostServes()) return native::open(device, address7, fault);
    const TessaranthHostServices& host = hostServices();
    return hostOpenResult(host.i2cOpen(host.context, device, address7, fault.buffer(), BusFault::capacity), fault,
                          device);
}

int32_t write(int32_t handle, const Message* messages, uint32_t count) {
    if (count == 0) return 0;
    if (handle < 0 || !messages) return busError::noDevice;
    if (!hostServes()) return native::write(handle, messages, count);
    const TessaranthHostServices& host = hostServices();
    return host.i2cWrite(host.context, handle, messages, count);
}

void close(int32_t handle) {
    if (handle < 0) return;
    if (!hostServes()) return native::close(handle);
    const TessaranthHostServices& host = hostServices();
    host.i2cClose(host.context, handle);
}

} // namespace tessaranth::platform::i2c
