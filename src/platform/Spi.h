// SPDX-License-Identifier: GPL-2.0-or-later
// SPI from user space: one device on one bus and chip select (/dev/spidevB.C on Linux), with
// the display's D/C and reset lines on GPIO lines. The host's SPI services, when it installed
// all four, take the calls instead; otherwise the platform's device code serves them:
//   - open sets the mode (SPI_IOC_WR_MODE) and the clock (SPI_IOC_WR_MAX_SPEED_HZ), reads the
//     size limit of one transfer (spidev's bufsiz, from /sys/module/spidev/parameters/bufsiz,
//     4096 when it cannot be read) and requests the D/C and reset lines as outputs;
//   - write sets D/C on its line only when the level changes, then sends the bytes in one
//     SPI_IOC_MESSAGE per at most bufsiz bytes; with a pace, every `pace.bytes` bytes are a
//     transfer of their own followed by `pace.delayMicros` (a controller without a busy flag
//     that needs time per instruction), as many transfers in one message as bufsiz and the
//     kernel's 511 allow;
//   - resetPulse drives the reset line low for the given time, then high, and waits as long
//     again before the controller is talked to.
// Windows has no such bus: open answers "not available on Windows".
#pragma once

#include "platform/BusFault.h"

#include <cstdint>

namespace tessaranth::platform::spi {

constexpr uint32_t defaultSpeedHz = 8'000'000;
constexpr uint32_t defaultBufferSize = 4096;   // spidev's bufsiz when the system does not say
constexpr uint32_t maxTransfersPerMessage = 511;
constexpr uint8_t modeCsHigh = 0x04;           // SPI_CS_HIGH: chip select active high (ST7920)

// A GPIO line: the chip (a path, a chip name or a label) and the line's offset; no chip or a
// negative offset means "not wired".
struct Line {
    const char* chip = nullptr;
    int32_t offset = -1;
    bool wired() const { return chip && chip[0] && offset >= 0; }
};

struct Options {
    const char* device = nullptr;
    uint8_t mode = 0;                 // SPI_MODE_0..3, | modeCsHigh
    uint32_t speedHz = defaultSpeedHz;
    Line dc;
    Line reset;
};

// Groups of bytes that each go out as one transfer followed by a delay; bytes 0: no pacing.
struct Pace {
    uint32_t bytes = 0;
    uint16_t delayMicros = 0;
};

// A handle >= 0, or -1 with the fault filled.
int32_t open(const Options& options, BusFault& fault);
// dc: the D/C level while these bytes go out (true: data). 0 when all went out, else the error
// number (see busError).
int32_t write(int32_t handle, bool dc, const uint8_t* bytes, uint32_t length, Pace pace);
int32_t resetPulse(int32_t handle, uint32_t microseconds);
void close(int32_t handle);

bool hostServes();

namespace native {
int32_t open(const Options& options, BusFault& fault);
int32_t write(int32_t handle, bool dc, const uint8_t* bytes, uint32_t length, Pace pace);
int32_t resetPulse(int32_t handle, uint32_t microseconds);
void close(int32_t handle);
} // namespace native

} // namespace tessaranth::platform::spi
