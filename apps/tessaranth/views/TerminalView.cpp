// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/TerminalView.h"

#include "emu/TerminalImage.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <string>

namespace tessaranth::host {

namespace {

constexpr const char* hideCursor = "\x1b[?25l";
constexpr const char* showCursor = "\x1b[?25h";
constexpr const char* resetColours = "\x1b[0m";
constexpr const char* clearToLineEnd = "\x1b[K";

std::string colour(bool foreground, emu::Rgb c) {
    return "\x1b[" + std::string(foreground ? "38" : "48") + ";2;" + std::to_string(c.red) + ";" +
           std::to_string(c.green) + ";" + std::to_string(c.blue) + "m";
}

// The picture with the lit colour changed where the panel's colour changes, as on a two-colour
// OLED; each line of text shows rowsPerLine pixel rows.
std::string inPanelColours(const std::string& picture, const emu::PanelLook& look, int rowsPerLine) {
    std::string text;
    emu::Rgb shown = look.litColour();
    std::size_t start = 0;
    for (int line = 0; start < picture.size(); ++line) {
        const emu::Rgb lit = look.colourOf(emu::ScreenImage::kFullLevel, line * rowsPerLine);
        if (!(lit == shown)) text += colour(true, lit);
        shown = lit;
        const std::size_t end = std::min(picture.find('\n', start), picture.size() - 1) + 1;
        text.append(picture, start, end - start);
        start = end;
    }
    return text;
}

} // namespace

TerminalView::TerminalView(std::FILE* out) : TerminalView(out, terminalSize(out)) {}

TerminalView::TerminalView(std::FILE* out, TerminalSize size) : out_(out), size_(size) {}

TerminalSize TerminalView::terminalSize(std::FILE* stream) {
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) return {};
    return {size.ws_col, size.ws_row};
}

// The status line takes a line of its own.
bool TerminalView::fits(int columns, int lines) const {
    return (size_.columns <= 0 || columns <= size_.columns) && (size_.rows <= 0 || lines < size_.rows);
}

std::string TerminalView::picture(const emu::ScreenImage& screen, std::string& note, int& rowsPerLine) const {
    const int brailleColumns = (screen.width() + 1) / 2, brailleLines = (screen.height() + 3) / 4;
    rowsPerLine = 2;
    if (fits(screen.width(), (screen.height() + 1) / 2)) return emu::terminalImage(screen);
    rowsPerLine = 4;
    if (fits(brailleColumns, brailleLines)) return emu::brailleImage(screen);
    note = "  (widen to " + std::to_string(brailleColumns) + "x" + std::to_string(brailleLines + 1) + " to see it all)";
    const int width = size_.columns > 0 ? std::min(screen.width(), 2 * size_.columns) : screen.width();
    const int height = size_.rows > 1 ? std::min(screen.height(), 4 * (size_.rows - 1)) : screen.height();
    emu::ScreenImage part(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) part.setPixel(x, y, screen.pixel(x, y));
    return emu::brailleImage(part);
}

TerminalView::~TerminalView() {
    if (drawings_ == 0) return;
    std::fputs(resetColours, out_);
    std::fputs(showCursor, out_);
    std::fflush(out_);
}

void TerminalView::present(const emu::VirtualDisplay& display) {
    emu::ScreenImage screen = display.screen();
    const std::size_t problems = display.problems().total();
    if (drawings_ > 0 && screen == shown_ && problems == shownProblems_) return;
    const emu::PanelLook look = display.look();
    // Back to the first line of the last drawing, so that what the program said above it stays.
    text_ = drawings_ == 0 ? std::string(hideCursor) : "\x1b[" + std::to_string(drawnLines_) + "F";
    text_ += colour(true, look.litColour()) + colour(false, look.unlitColour());
    std::string note;
    int rowsPerLine = 0;
    const std::string image = picture(screen, note, rowsPerLine);
    text_ += inPanelColours(image, look, rowsPerLine);
    text_ += resetColours;
    text_ += display.description() + "  Ctrl-C stops" + note;
    if (problems > 0) text_ += "  (" + std::to_string(problems) + " commands the display did not understand)";
    text_ += clearToLineEnd;
    text_ += '\n';
    drawnLines_ = static_cast<int>(std::count(text_.begin(), text_.end(), '\n'));
    std::fwrite(text_.data(), 1, text_.size(), out_);
    std::fflush(out_);
    shown_ = std::move(screen);
    shownProblems_ = problems;
    ++drawings_;
}

} // namespace tessaranth::host
