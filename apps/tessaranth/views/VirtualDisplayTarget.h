// SPDX-License-Identifier: GPL-2.0-or-later
// The virtual display as the plug-in's target: the emulator of the configured controller, size
// and wiring behind the host services, shown by a view after every frame.
#pragma once

#include "views/DisplayTarget.h"
#include "views/DisplayView.h"

#include "emu/HostServicesAdapter.h"
#include "emu/VirtualDisplay.h"

#include <memory>

namespace tessaranth::host {

class VirtualDisplayTarget : public DisplayTarget {
public:
    // Throws Failure when the setup names a display that is not emulated.
    explicit VirtualDisplayTarget(const emu::DisplaySetup& setup);

    const TessaranthHostServices* services() const override { return &services_; }
    void frameDone() override;
    std::string description() const override;

    // The view that shows the display (none: nothing is shown).
    void setView(DisplayView* view) { view_ = view; }
    emu::VirtualDisplay& display() { return *display_; }

private:
    std::unique_ptr<emu::VirtualDisplay> display_;
    std::unique_ptr<emu::HostServicesAdapter> adapter_;
    TessaranthHostServices services_{};
    DisplayView* view_ = nullptr;
};

} // namespace tessaranth::host
