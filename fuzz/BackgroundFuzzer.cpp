// Arbitrary bytes as the background bitmap, read for every controller value and display size.
// The reader ignores the first 62 bytes, so two of them choose the pair whose driver then
// sends the image to the port.
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

void useLayout(uint8_t controller, uint8_t format) {
    const DisplaySize size = displaySize(format);
    gLcd->setController(controller);
    gLcd->setSize(size.width, size.height);
}

void sendImage(const char* path, uint8_t controller, uint8_t format) {
    std::unique_ptr<ControllerLSI> driver(createController(controller));
    if (!driver) return;
    useLayout(controller, format);
    gLcd->loadBackground(path);
    gController = driver.get();
    gController->init();
    gController->writeScreen(gLcd->backgroundPointer());
    gController = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::installQuietHost();
    loadPlugin();
    const char* path = fuzz::writeScratchFile("background.bmp", data, size);
    for (uint8_t controller = 0; controller < controllerValues; ++controller) {
        for (uint8_t format = 0; format < formatValues; ++format) {
            useLayout(controller, format);
            gLcd->loadBackground(path);
        }
    }
    if (size >= 2) sendImage(path, data[0] % controllerValues, data[1] % formatValues);
    unloadPlugin();
    return 0;
}
