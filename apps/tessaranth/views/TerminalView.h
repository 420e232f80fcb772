// SPDX-License-Identifier: GPL-2.0-or-later
// The virtual display in the terminal, redrawn in place under what the program printed before,
// in the panel's colours (a two-colour OLED's yellow rows in yellow), with a status line under it: two pixel rows per line with half
// blocks, or, where the terminal is too small for that, two pixel columns and four rows per
// character with Braille dots; where even those do not fit, the part that does, and the status
// line says how large the terminal should be. Only a changed picture is drawn.
#pragma once

#include "views/DisplayView.h"

#include "emu/ScreenImage.h"

#include <cstdio>
#include <string>

namespace tessaranth::host {

// Characters across and lines down; 0 when unknown.
struct TerminalSize {
    int columns = 0;
    int rows = 0;
};

class TerminalView : public DisplayView {
public:
    // As large as the terminal behind out; a stream that is no terminal gets the half blocks.
    explicit TerminalView(std::FILE* out = stdout);
    TerminalView(std::FILE* out, TerminalSize size);
    ~TerminalView() override;  // shows the cursor again and resets the colours
    TerminalView(const TerminalView&) = delete;
    TerminalView& operator=(const TerminalView&) = delete;

    void present(const emu::VirtualDisplay& display) override;
    std::string description() const override { return "in the terminal"; }
    int drawings() const { return drawings_; }

private:
    // The size of the terminal behind the stream; unknown when it is none.
    static TerminalSize terminalSize(std::FILE* stream);
    bool fits(int columns, int lines) const;
    // The picture as text; note: what the status line adds when it is cut; rowsPerLine: the
    // pixel rows a line of it shows.
    std::string picture(const emu::ScreenImage& screen, std::string& note, int& rowsPerLine) const;

    std::FILE* out_;
    TerminalSize size_;
    emu::ScreenImage shown_;
    std::size_t shownProblems_ = 0;
    int drawings_ = 0;
    int drawnLines_ = 0;
    std::string text_;
};

} // namespace tessaranth::host
