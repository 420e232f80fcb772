#include "ScreenFixture.h"

#include "display/LCD.h"
#include "globals/Globals.h"

namespace tessaranth::test {

void ScreenFixture::SetUp() {
    PluginFixture::SetUp();
    useController(0);
}

void ScreenFixture::useController(uint8_t controller, uint16_t width, uint16_t height) {
    gLcd->setController(controller);
    gLcd->setSize(width, height);
    delete gController;
    recorder = new CallRecorder(gLcd->isPageController());
    gController = recorder;
}

std::vector<std::string> ScreenFixture::textWrites() const {
    std::vector<std::string> writes;
    uint32_t address = 0;
    for (const ControllerCall& call : recorder->calls) {
        if (call.op == "setAddress") address = call.args[0];
        if (call.op == "writeText") writes.push_back(std::to_string(address) + ":" + call.text);
    }
    return writes;
}

std::vector<intptr_t> ScreenFixture::queries() const {
    std::vector<intptr_t> lParams;
    for (const SentMessage& m : player.sent) lParams.push_back(m.lParam);
    return lParams;
}

} // namespace tessaranth::test
