// SPDX-License-Identifier: GPL-2.0-or-later
// What an errno means as a Win32 status code, for the calls whose callers expect those.
#pragma once

#include <cstdint>

namespace tessaranth::platform {

int32_t statusOfErrno(int error);

} // namespace tessaranth::platform
