// SPDX-License-Identifier: GPL-2.0-or-later
// A display started the way the plug-in starts one, without the rest of the plug-in: the
// layout takes the family of the controller's row, and the row's driver is made with the port
// and wiring the settings name.
#pragma once

#include "controllers/ControllerLSI.h"
#include "geometry/DisplayLayout.h"

#include <cstdint>
#include <memory>

namespace tessaranth {
class Settings;
}

namespace tessaranth::test {

// The family and address pitch of the `controller` value's row; no family for a value
// without a row.
void useFamilyOf(DisplayLayout& layout, uint8_t controller);

// The layout set to the row's family and the given size, and the row's driver attached to it,
// given the settings' options, opened and initialised; the caller closes it. Null for a value
// without a row or a device that does not open.
std::unique_ptr<ControllerLSI> startDisplay(DisplayLayout& layout, uint8_t controller, uint16_t width, uint16_t height,
                                            const Settings& settings);
// The same with the driver made for `setup` instead of the settings' port and wiring.
std::unique_ptr<ControllerLSI> startDisplay(DisplayLayout& layout, uint8_t controller, uint16_t width, uint16_t height,
                                            const Settings& settings, const DriverSetup& setup);

} // namespace tessaranth::test
