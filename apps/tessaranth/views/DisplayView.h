// SPDX-License-Identifier: GPL-2.0-or-later
// Shows the virtual display's glass after every frame: in a window, in the terminal or as PNG
// files.
#pragma once

#include "emu/VirtualDisplay.h"

#include <string>

namespace tessaranth::host {

class DisplayView {
public:
    virtual ~DisplayView() = default;
    virtual void present(const emu::VirtualDisplay& display) = 0;
    // Words for the start-up line, e.g. "in the terminal".
    virtual std::string description() const = 0;
};

} // namespace tessaranth::host
