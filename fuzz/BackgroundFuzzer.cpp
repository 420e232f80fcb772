// Arbitrary bytes as the background bitmap, read for the controller value and display size that
// two of its bytes choose (the reader ignores the first 62 bytes), whose driver then sends the
// image to the port.
#include "FuzzHost.h"

#include "controllers/ControllerFactory.h"
#include "controllers/ControllerLSI.h"
#include "display/LCD.h"
#include "geometry/DisplayFormat.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"

#include <memory>

namespace {

using namespace tessaranth;

constexpr uint8_t controllerValues = 8;           // the six drivers, the value without one, one beyond
constexpr uint8_t formatValues = displayFormatCount + 1;  // the table and one size without a layout

// Reads the picture for the layout of this controller and size, then the driver (where the value
// has one) sends it.
void readAndSend(const char* path, uint8_t controller, uint8_t format) {
    const DisplaySize size = displaySize(format);
    gLcd->setController(controller);
    gLcd->setSize(size.width, size.height);
    gLcd->loadBackground(path);
    std::unique_ptr<ControllerLSI> driver(createController(controller));
    if (!driver) return;
    gController = driver.get();
    gController->init();
    gController->writeScreen(gLcd->backgroundPointer());
    gController = nullptr;
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
