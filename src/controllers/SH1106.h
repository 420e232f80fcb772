// SPDX-License-Identifier: GPL-2.0-or-later
// Sino Wealth SH1106 OLED controller: 132 columns of memory of which a 128-pixel module shows
// 128 from a column offset (2 on most modules, 0 on some), page addressing only, so every span
// sets its page and column.
#pragma once

#include "controllers/ShadowPageController.h"

namespace tessaranth {

class SH1106 final : public ShadowPageController {
public:
    SH1106(uint8_t columnOffset, std::unique_ptr<SerialLink> link)
        : ShadowPageController(std::move(link)), columnOffset_(columnOffset) {}

private:
    void sendSetup() override;
    void sendChanges(bool all) override;

    uint8_t columnOffset_;
};

} // namespace tessaranth
