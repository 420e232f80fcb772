// SPDX-License-Identifier: GPL-2.0-or-later
// Pictures of the plug-in's configuration dialog: once the dialog is open, every page is shown
// in turn and saved as page-01.png, page-02.png, ... in a folder, then the dialog is cancelled.
// The dialog is the plug-in's own; it is found among the application's windows.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

namespace tessaranth::host {

class DialogScreenshots {
public:
    // Starts looking for the dialog; the folder is made when missing.
    explicit DialogScreenshots(QString folder);

    int written() const { return written_; }
    bool failed() const { return failed_; }

private:
    void look();
    void photograph(QWidget* dialog);

    QString folder_;
    QTimer timer_;
    int written_ = 0;
    bool failed_ = false;
};

} // namespace tessaranth::host
