// SPDX-License-Identifier: GPL-2.0-or-later
// The parallel port's registers on a board's GPIO lines (see platform/GpioParallelPort.h), so
// that the parallel-port drivers run there with their own cycles and wiring settings.
#pragma once

#include "controllers/PortRegisters.h"
#include "platform/GpioParallelPort.h"

namespace tessaranth {

class GpioRegisters final : public PortRegisters {
public:
    explicit GpioRegisters(const platform::ParallelLines& lines) : port_(lines) {}

    bool open() override { return port_.open(); }
    void write(uint16_t offset, uint16_t value) override;
    uint16_t read(uint16_t offset) override;
    void flush() override { port_.flush(); }

private:
    platform::GpioParallelPort port_;
    uint8_t control_ = platform::GpioParallelPort::initialControl;
};

} // namespace tessaranth
