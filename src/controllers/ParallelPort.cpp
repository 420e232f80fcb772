// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ParallelPort.h"

#include <utility>

namespace tessaranth {

ParallelPort::ParallelPort(std::unique_ptr<PortRegisters> registers, const PortWiring& wiring)
    : registers_(std::move(registers)),
      lpt_(dynamic_cast<LptRegisters*>(registers_.get())),
      csMask_(wireBit(wiring.cs)),
      a0Mask_(wireBit(wiring.a0)),
      wrMask_(wireBit(wiring.wr)),
      rdMask_(wireBit(wiring.rd)) {}

uint8_t ParallelPort::wireBit(int16_t choice) {
    return choice >= 0 && choice <= 3 ? static_cast<uint8_t>(1u << choice) : 0;
}

void ParallelPort::sleepMillis(uint32_t milliseconds) {
    flush();
    platform::sleepMillis(milliseconds);
}

} // namespace tessaranth
