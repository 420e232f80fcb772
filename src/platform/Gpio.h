// SPDX-License-Identifier: GPL-2.0-or-later
// GPIO lines as outputs, through the GPIO character device's uAPI v2 on Linux: the chip's
// /dev/gpiochipN, GPIO_V2_GET_LINE_IOCTL to request the lines (a descriptor that holds them
// until it is closed), GPIO_V2_LINE_SET_VALUES_IOCTL to change any of them in one call. The
// kernel's v2 ioctls from <linux/gpio.h> are called directly, with no library: Debian 12's
// libgpiod is version 1.6, which speaks only the deprecated v1 ABI, and version 2 of the library
// has another API; the uAPI works the same on every kernel since 5.10, a Pi 5 included.
// The host's GPIO services, when it installed all three, take the calls instead.
// A chip is named by its path ("/dev/gpiochip0"), its name ("gpiochip0"), its number ("0") or
// its label ("pinctrl-rp1", found by asking each chip; the Pi 5's header moved between chip
// numbers with kernel versions, its label did not).
// Windows has no such lines: open answers "not available on Windows".
#pragma once

#include "platform/BusFault.h"

#include <cstdint>

namespace tessaranth::platform::gpio {

constexpr uint32_t maxLines = 64;   // GPIO_V2_LINES_MAX

// Requests count lines of chip as outputs at the levels of initial (bit i: lines[i]); a handle
// >= 0, or -1 with the fault filled (no chip, no such line, a line in use, no permission).
int32_t open(const char* chip, const uint32_t* lines, uint32_t count, uint64_t initial, BusFault& fault);
// Drives the lines whose bit is set in mask to their bit of bits, in one call: 0, else the
// error number.
int32_t set(int32_t handle, uint64_t bits, uint64_t mask);
void close(int32_t handle);

bool hostServes();

namespace native {
int32_t open(const char* chip, const uint32_t* lines, uint32_t count, uint64_t initial, BusFault& fault);
int32_t set(int32_t handle, uint64_t bits, uint64_t mask);
void close(int32_t handle);
} // namespace native

} // namespace tessaranth::platform::gpio
