// SPDX-License-Identifier: GPL-2.0-or-later
// Solomon SSD1322 256x64 greyscale OLED controller on 4-wire SPI: commands with D/C low, their
// parameters with D/C high. The 1-bit picture is shown as grey 15 or 0, four pixels a column
// address, one pixel row a band; the brightness is the contrast current.
#pragma once

#include "controllers/ShadowPageController.h"

namespace tessaranth {

class SSD1322 final : public ShadowPageController {
public:
    explicit SSD1322(std::unique_ptr<SerialLink> link) : ShadowPageController(std::move(link)) {}

    // Levels 0..15 of the brightness setting, as contrast 0..255.
    void setBrightness(uint8_t level) override;

private:
    void sendSetup() override;
    void sendChanges(bool all) override;
    void sendColumns(int y, int first, int end);
    void commandWith(uint8_t command, std::span<const uint8_t> parameters);

    uint8_t contrast_ = 0x9F;
};

} // namespace tessaranth
