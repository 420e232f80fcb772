// The virtual display in the terminal, redrawn in place: two pixel rows per line with half
// blocks in the panel's colours, and a status line under it. Only a changed picture is drawn.
#pragma once

#include "views/DisplayView.h"

#include "emu/ScreenImage.h"

#include <cstdio>
#include <string>

namespace tessaranth::host {

class TerminalView : public DisplayView {
public:
    explicit TerminalView(std::FILE* out = stdout);
    ~TerminalView() override;  // shows the cursor again and resets the colours
    TerminalView(const TerminalView&) = delete;
    TerminalView& operator=(const TerminalView&) = delete;

    void present(const emu::VirtualDisplay& display) override;
    std::string description() const override { return "in the terminal"; }
    int drawings() const { return drawings_; }

private:
    std::FILE* out_;
    emu::ScreenImage shown_;
    std::size_t shownProblems_ = 0;
    int drawings_ = 0;
    std::string text_;
};

} // namespace tessaranth::host
