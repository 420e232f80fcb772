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

// The row's driver, attached to the layout and given the settings' options; not yet
// initialised. Null for a value without a row.
std::unique_ptr<ControllerLSI> makeTableDriver(uint8_t controller, const DisplayLayout& layout, const Settings& settings);

} // namespace tessaranth::test
