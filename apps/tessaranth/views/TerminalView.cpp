#include "views/TerminalView.h"

#include "emu/TerminalImage.h"

#include <sys/ioctl.h>

namespace tessaranth::host {

namespace {

constexpr const char* home = "\x1b[H";
constexpr const char* clearScreen = "\x1b[2J";
constexpr const char* hideCursor = "\x1b[?25l";
constexpr const char* showCursor = "\x1b[?25h";
constexpr const char* resetColours = "\x1b[0m";
constexpr const char* clearToLineEnd = "\x1b[K";

std::string colour(bool foreground, emu::Rgb c) {
    return "\x1b[" + std::string(foreground ? "38" : "48") + ";2;" + std::to_string(c.red) + ";" +
           std::to_string(c.green) + ";" + std::to_string(c.blue) + "m";
}

} // namespace

TerminalView::TerminalView(std::FILE* out) : TerminalView(out, terminalColumns(out)) {}

TerminalView::TerminalView(std::FILE* out, int columns) : out_(out), columns_(columns) {}

int TerminalView::terminalColumns(std::FILE* stream) {
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
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
    text_ = drawings_ == 0 ? std::string(clearScreen) + hideCursor : std::string();
    text_ += home;
    text_ += colour(true, look.litColour()) + colour(false, look.unlitColour());
    const bool halfBlocksFit = columns_ <= 0 || screen.width() <= columns_;
    text_ += halfBlocksFit ? emu::terminalImage(screen) : emu::brailleImage(screen);
    text_ += resetColours;
    text_ += display.description() + "  Ctrl-C stops";
    if (problems > 0) text_ += "  (" + std::to_string(problems) + " commands the display did not understand)";
    text_ += clearToLineEnd;
    text_ += '\n';
    std::fwrite(text_.data(), 1, text_.size(), out_);
    std::fflush(out_);
    shown_ = std::move(screen);
    shownProblems_ = problems;
    ++drawings_;
}

} // namespace tessaranth::host
