// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as the background bitmap, read for the controller value and display size that
// two of its bytes choose (the reader ignores the first 62 bytes), whose driver then sends the
// image to the port.
#include "FuzzHost.h"

#include "controllers/ControllerTable.h"
#include "settings/Settings.h"
#include "display/LCD.h"
#include "geometry/DisplayFormat.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"

#include <memory>

namespace {

using namespace tessaranth;

constexpr uint8_t controllerValues = std::size(controllerTable) + 2;  // every row, then two values without one
constexpr uint8_t formatValues = displayFormatCount + 1;  // the table and one size without a layout

// Reads the picture for the layout of this controller and size, then the driver (where the value
// has one) sends it.
void readAndSend(const char* path, uint8_t controller, uint8_t format) {
    const DisplaySize size = displaySize(format);
    const ControllerRow* row = findController(controller);
    gLcd->setFamily(row ? row->family : ControllerFamily::none, row && row->sharedPitch);
    gLcd->setSize(size.width, size.height);
    gLcd->loadBackground(path);
    if (!row) return;
    std::unique_ptr<ControllerLSI> driver(row->makeDriver(driverSetup(*gSettings)));
    driver->attach(*gLcd);
    driver->setOptions(driverOptions(*gSettings));
    if (!driver->open()) return;
    driver->init();
    driver->writeScreen(gLcd->backgroundPointer());
    driver->endFrame();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    fuzz::installQuietHost();
    loadPlugin();
    readAndSend(fuzz::writeScratchFile("background.bmp", data, size), data[0] % controllerValues,
                data[1] % formatValues);
    unloadPlugin();
    return 0;
}
