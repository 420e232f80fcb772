// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/WindowView.h"

#include "emu/RgbImage.h"
#include "emu/VirtualDisplay.h"

#include <algorithm>

namespace tessaranth::host {

int readableScale(int width) { return std::clamp(960 / std::max(width, 1), 2, 8); }

WindowView::WindowView(const WindowModule& module, const emu::VirtualDisplay& display,
                       std::function<void()> configure)
    : window_(module.openWindow("Tessaranth - " + display.description(), std::move(configure))),
      scale_(readableScale(display.screen().width())) {
    present(display);
}

// Draws anew only what changed: the glass, or the count of what the display did not understand.
void WindowView::present(const emu::VirtualDisplay& display) {
    emu::ScreenImage screen = display.screen();
    const std::size_t problems = display.problems().total();
    if (screen == shown_ && problems == shownProblems_) return;
    const emu::RgbImage image = emu::RgbImage::render(screen, display.look(), scale_);
    rgb_.resize(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()) * 3);
    auto byte = rgb_.begin();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const emu::Rgb colour = image.pixel(x, y);
            *byte++ = colour.red;
            *byte++ = colour.green;
            *byte++ = colour.blue;
        }
    std::string status = display.description();
    if (problems > 0) status += "  (" + std::to_string(problems) + " commands the display did not understand)";
    window_->show({image.width(), image.height(), rgb_.data()}, status);
    shown_ = std::move(screen);
    shownProblems_ = problems;
}

void WindowView::run(FrameLoop& loop) {
    window_->run([&loop] { return loop.step(); });
}

} // namespace tessaranth::host
