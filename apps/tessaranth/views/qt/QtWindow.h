// SPDX-License-Identifier: GPL-2.0-or-later
// The virtual display in a window of its own: the glass, live, with a line naming the display
// and a Configure button that opens the plug-in's dialog.
#pragma once

#include "views/WindowModule.h"
#include "views/qt/PanelWidget.h"

#include <QLabel>
#include <QWidget>

#include <functional>

namespace tessaranth::host {

class QtWindow : public QWidget {
public:
    // configure: what the Configure button does (none: no button).
    QtWindow(const QString& title, std::function<void()> configure);

    void showPicture(const RgbPicture& picture, const QString& status);
    bool closed() const { return closed_; }
    // Shows the window and runs step in Qt's event loop until it returns nothing or the window
    // is closed.
    void run(const std::function<std::optional<int32_t>()>& step);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PanelWidget* panel_;
    QLabel* status_;
    bool closed_ = false;
};

} // namespace tessaranth::host
