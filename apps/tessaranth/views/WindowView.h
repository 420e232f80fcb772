// SPDX-License-Identifier: GPL-2.0-or-later
// The virtual display in a window of its own, drawn by the window module: the glass at a
// readable scale, live, with a line naming the display and a Configure button that opens the
// plug-in's dialog.
#pragma once

#include "session/FrameLoop.h"
#include "views/DisplayView.h"
#include "views/WindowModule.h"

#include "emu/ScreenImage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tessaranth::host {

class WindowView : public DisplayView {
public:
    // configure: what the Configure button does (none: no button).
    WindowView(const WindowModule& module, const emu::VirtualDisplay& display, std::function<void()> configure);

    void present(const emu::VirtualDisplay& display) override;
    std::string description() const override { return "in a window"; }
    // Shows the window and runs the frames in its event loop until the run is over or the window
    // is closed.
    void run(FrameLoop& loop);
    void close() { window_->close(); }
    bool closed() const { return window_->closed(); }

private:
    std::unique_ptr<ModuleWindow> window_;
    int scale_;
    emu::ScreenImage shown_;
    std::size_t shownProblems_ = static_cast<std::size_t>(-1);
    std::vector<uint8_t> rgb_;
};

// The scale at which a display of this width reads well on a desktop.
int readableScale(int width);

} // namespace tessaranth::host
