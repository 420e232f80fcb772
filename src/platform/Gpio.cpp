// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Gpio.h"

#include "platform/Platform.h"

namespace tessaranth::platform::gpio {

bool hostServes() {
    const TessaranthHostServices& host = hostServices();
    return host.gpioOpen && host.gpioSet && host.gpioClose;
}

int32_t open(const char* chip, const uint32_t* lines, uint32_t count, uint64_t initial, BusFault& fault) {
    fault.clear();
    if (!chip || !chip[0]) {
        fault.set("no GPIO chip is chosen: name one, e.g. gpiochip0");
        return -1;
    }
    if (!lines || count == 0 || count > maxLines) {
        fault.set("%u lines of %s asked for: between 1 and %u can be used", static_cast<unsigned>(count), chip,
                  static_cast<unsigned>(maxLines));
        return -1;
    }
    if (!hostServes()) return native::open(chip, lines, count, initial, fault);
    const TessaranthHostServices& host = hostServices();
    return hostOpenResult(host.gpioOpen(host.context, chip, lines, count, initial, fault.buffer(), BusFault::capacity),
                          fault, chip);
}

int32_t set(int32_t handle, uint64_t bits, uint64_t mask) {
    if (mask == 0) return 0;
    if (handle < 0) return busError::noDevice;
    if (!hostServes()) return native::set(handle, bits, mask);
    const TessaranthHostServices& host = hostServices();
    return host.gpioSet(host.context, handle, bits, mask);
}

void close(int32_t handle) {
    if (handle < 0) return;
    if (!hostServes()) return native::close(handle);
    const TessaranthHostServices& host = hostServices();
    host.gpioClose(host.context, handle);
}

} // namespace tessaranth::platform::gpio
