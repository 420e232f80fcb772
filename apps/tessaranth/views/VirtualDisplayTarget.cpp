// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/VirtualDisplayTarget.h"

#include "Errors.h"

namespace tessaranth::host {

VirtualDisplayTarget::VirtualDisplayTarget(const emu::DisplaySetup& setup) {
    std::string reason;
    display_ = emu::VirtualDisplay::create(setup, &reason);
    if (!display_) throw Failure("cannot show the configured display: " + reason);
    adapter_ = std::make_unique<emu::HostServicesAdapter>(*display_);
    services_ = adapter_->services();
}

void VirtualDisplayTarget::frameDone() {
    if (view_) view_->present(*display_);
}

std::string VirtualDisplayTarget::description() const {
    std::string text = "a virtual " + display_->description();
    if (view_) text += " " + view_->description();
    return text;
}

} // namespace tessaranth::host
