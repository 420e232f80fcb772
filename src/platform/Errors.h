// SPDX-License-Identifier: GPL-2.0-or-later
// Status codes with their Win32 meanings: what the registry calls and file replacement return,
// and what the thread's last-error code holds.
#pragma once

#include <cstdint>

namespace tessaranth::platform {

constexpr int32_t errorSuccess = 0;
constexpr int32_t errorFileNotFound = 2;
constexpr int32_t errorPathNotFound = 3;
constexpr int32_t errorAccessDenied = 5;
constexpr int32_t errorInvalidHandle = 6;
constexpr int32_t errorInvalidData = 13;
constexpr int32_t errorWriteFault = 29;
constexpr int32_t errorDiskFull = 112;
constexpr int32_t errorInvalidParameter = 87;
constexpr int32_t errorMoreData = 234;
constexpr int32_t errorDatatypeMismatch = 1629;

} // namespace tessaranth::platform
