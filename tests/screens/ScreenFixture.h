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

    // Every text written, as "address:text" with the address last set before it.
    std::vector<std::string> textWrites() const;
    // The lParam of every player message, in order.
    std::vector<intptr_t> queries() const;
    // Text cell address of a packed position on the 240 x 64 layout (40 cells a row).
    static uint16_t cell(uint16_t column, uint16_t row) { return static_cast<uint16_t>(row * 40 + column); }

    CallRecorder* recorder = nullptr;
};

} // namespace tessaranth::test
