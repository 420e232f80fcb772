// SPDX-License-Identifier: GPL-2.0-or-later
// Shows the virtual display's glass, drawn by the host in the panel's colours, centred on black.
#pragma once

#include "views/WindowModule.h"

#include <QImage>
#include <QWidget>

namespace tessaranth::host {

class PanelWidget : public QWidget {
public:
    explicit PanelWidget(QWidget* parent = nullptr);

    // Takes a copy of the picture and repaints.
    void showPicture(const RgbPicture& picture);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace tessaranth::host
