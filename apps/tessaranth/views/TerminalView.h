// The virtual display in the terminal, redrawn in place in the panel's colours, with a status
// line under it: two pixel rows per line with half blocks, or, where the terminal is narrower
// than the display, two pixel columns per character with Braille dots. Only a changed picture
// is drawn.
#pragma once

#include "views/DisplayView.h"

#include "emu/ScreenImage.h"

#include <cstdio>
#include <string>

namespace tessaranth::host {

class TerminalView : public DisplayView {
public:
    // As wide as the terminal behind out; a stream that is no terminal gets the half blocks.
    explicit TerminalView(std::FILE* out = stdout);
    // columns: the terminal's width; 0 when unknown (the half blocks then).
    TerminalView(std::FILE* out, int columns);
    ~TerminalView() override;  // shows the cursor again and resets the colours
    TerminalView(const TerminalView&) = delete;
    TerminalView& operator=(const TerminalView&) = delete;

    void present(const emu::VirtualDisplay& display) override;
    std::string description() const override { return "in the terminal"; }
    int drawings() const { return drawings_; }

private:
    // The width of the terminal behind the stream, or 0 when it is none.
    static int terminalColumns(std::FILE* stream);

    std::FILE* out_;
    int columns_;
    emu::ScreenImage shown_;
    std::size_t shownProblems_ = 0;
    int drawings_ = 0;
    std::string text_;
};

} // namespace tessaranth::host
