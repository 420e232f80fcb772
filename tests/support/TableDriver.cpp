#include "TableDriver.h"

#include "controllers/ControllerTable.h"
#include "controllers/DriverOptions.h"

namespace tessaranth::test {

void useFamilyOf(DisplayLayout& layout, uint8_t controller) {
    const ControllerRow* row = findController(controller);
    layout.setFamily(row ? row->family : ControllerFamily::none, row && row->sharedPitch);
}

std::unique_ptr<ControllerLSI> makeTableDriver(uint8_t controller, const DisplayLayout& layout, const Settings& settings) {
    const ControllerRow* row = findController(controller);
    if (!row) return nullptr;
    std::unique_ptr<ControllerLSI> driver(row->makeDriver(driverSetup(settings)));
    driver->attach(layout);
    driver->setOptions(driverOptions(settings));
    return driver;
}

} // namespace tessaranth::test
