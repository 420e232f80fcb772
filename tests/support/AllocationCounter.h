// SPDX-License-Identifier: GPL-2.0-or-later
// Counts heap allocations of the calling thread. The counting operator new lives in
// AllocationCounter.cpp, which a program compiles in directly (not through a library).
#pragma once

#include <cstdint>

namespace tessaranth::test {

uint64_t allocationCount();

} // namespace tessaranth::test
