// SPDX-License-Identifier: GPL-2.0-or-later
#include "TableDriver.h"

#include "controllers/ControllerTable.h"
#include "controllers/DriverOptions.h"

namespace tessaranth::test {

void useFamilyOf(DisplayLayout& layout, uint8_t controller) {
    const ControllerRow* row = findController(controller);
    layout.setFamily(row ? row->family : ControllerFamily::none, row && row->sharedPitch);
}

std::unique_ptr<ControllerLSI> startDisplay(DisplayLayout& layout, uint8_t controller, uint16_t width, uint16_t height,
                                            const Settings& settings) {
    return startDisplay(layout, controller, width, height, settings, driverSetup(settings));
}

std::unique_ptr<ControllerLSI> startDisplay(DisplayLayout& layout, uint8_t controller, uint16_t width, uint16_t height,
                                            const Settings& settings, const DriverSetup& setup) {
    const ControllerRow* row = findController(controller);
    if (!row) return nullptr;
    useFamilyOf(layout, controller);
    layout.setSize(width, height);
    std::unique_ptr<ControllerLSI> driver(row->makeDriver(setup));
    driver->attach(layout);
    driver->setOptions(driverOptions(settings));
    if (!driver->open()) return nullptr;
    driver->init();
    return driver;
}

} // namespace tessaranth::test
