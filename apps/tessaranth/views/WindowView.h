// The virtual display in a window of its own: the glass at a readable scale, live, with a line
// naming the display and a Configure button that opens the plug-in's dialog.
#pragma once

#include "views/DisplayView.h"
#include "session/FrameLoop.h"
#include "views/PanelWidget.h"

#include <QLabel>
#include <QWidget>

#include <functional>

namespace tessaranth::host {

class WindowView : public QWidget, public DisplayView {
public:
    // configure: what the Configure button does (none: no button).
    WindowView(const emu::VirtualDisplay& display, std::function<void()> configure);

    void present(const emu::VirtualDisplay& display) override;
    std::string description() const override { return "in a window"; }
    bool closed() const { return closed_; }
    // Shows the window and runs the frames in Qt's event loop until the run is over or the
    // window is closed.
    void run(FrameLoop& loop);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PanelWidget* panel_;
    QLabel* status_;
    std::size_t shownProblems_ = static_cast<std::size_t>(-1);
    bool closed_ = false;
};

} // namespace tessaranth::host
