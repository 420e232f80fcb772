// SPDX-License-Identifier: GPL-2.0-or-later
#include "display/LCD.h"

namespace tessaranth {

LCD::LCD() = default;

} // namespace tessaranth
