// SPDX-License-Identifier: GPL-2.0-or-later
// Solomon SSD1306 (128x64 or 128x32, its own charge pump) and SSD1309 (128x64, powered from
// outside) OLED controllers: 128 columns by 8 pages, horizontal addressing, a column and page
// window per span.
#pragma once

#include "controllers/ShadowPageController.h"

namespace tessaranth {

class SSD130x final : public ShadowPageController {
public:
    enum class Chip : uint8_t { ssd1306, ssd1309 };

    SSD130x(Chip chip, std::unique_ptr<SerialLink> link) : ShadowPageController(std::move(link)), chip_(chip) {}

private:
    void sendSetup() override;
    void sendChanges(bool all) override;

    Chip chip_;
};

} // namespace tessaranth
