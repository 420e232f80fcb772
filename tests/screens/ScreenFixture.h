// SPDX-License-Identifier: GPL-2.0-or-later
// A loaded plug-in drawing into a recording driver, with the fake player behind the module.
#pragma once

#include "CallRecorder.h"
#include "PluginFixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::test {

class ScreenFixture : public PluginFixture {
protected:
    void SetUp() override;

    // Starts the layout as the given controller and display size, with a fresh recorder.
    void useController(uint8_t controller, uint16_t width = 240, uint16_t height = 64);
    // Starts the layout with the controller's own parallel-port driver instead, its bus traffic
    // recorded from here on (no recorder).
    void useDriver(uint8_t controller, uint16_t width = 240, uint16_t height = 64);

    // Every text written, as "column,line:text".
    std::vector<std::string> textWrites() const;
    // The lParam of every player message, in order.
    std::vector<intptr_t> queries() const;

    CallRecorder* recorder = nullptr;
};

} // namespace tessaranth::test
