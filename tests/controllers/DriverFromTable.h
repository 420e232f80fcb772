// SPDX-License-Identifier: GPL-2.0-or-later
// A driver made the way start-up makes it: the controller table's row for a `controller` value,
// given the port address and wiring of the settings, attached to the plug-in's layout (set to
// the row's family) and told the settings' options.
#pragma once

#include "TableDriver.h"

#include "controllers/ControllerTable.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <memory>

namespace tessaranth::test {

// Null when the value has no row or its row makes another kind of driver.
template <class Driver>
std::unique_ptr<Driver> driverFromTable(uint8_t controller) {
    const ControllerRow* row = findController(controller);
    if (!row) return nullptr;
    std::unique_ptr<ControllerLSI> made(row->makeDriver(driverSetup(*gSettings)));
    if (!dynamic_cast<Driver*>(made.get())) return nullptr;
    useFamilyOf(*gLcd, controller);
    made->attach(*gLcd);
    made->setOptions(driverOptions(*gSettings));
    return std::unique_ptr<Driver>(static_cast<Driver*>(made.release()));
}

} // namespace tessaranth::test
