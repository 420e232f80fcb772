// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScreenFixture.h"

#include "TableDriver.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

namespace tessaranth::test {

void ScreenFixture::SetUp() {
    PluginFixture::SetUp();
    useController(0);
}

void ScreenFixture::useController(uint8_t controller, uint16_t width, uint16_t height) {
    useFamilyOf(*gLcd, controller);
    gLcd->setSize(width, height);
    delete gController;
    recorder = new CallRecorder(gLcd->isPageController());
    gController = recorder;
}

void ScreenFixture::useDriver(uint8_t controller, uint16_t width, uint16_t height) {
    delete gController;
    recorder = nullptr;
    gController = startDisplay(*gLcd, controller, width, height, *gSettings).release();
    host.clear();
}

std::vector<std::string> ScreenFixture::textWrites() const {
    std::vector<std::string> writes;
    for (const ControllerCall& call : recorder->only("writeText"))
        writes.push_back(std::to_string(call.args[0]) + "," + std::to_string(call.args[1]) + ":" + call.text);
    return writes;
}

std::vector<intptr_t> ScreenFixture::queries() const {
    std::vector<intptr_t> lParams;
    for (const SentMessage& m : player.sent) lParams.push_back(m.lParam);
    return lParams;
}

} // namespace tessaranth::test
