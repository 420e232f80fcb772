// Draws the virtual display's glass: every dot a square of `scale` pixels in the panel's
// colours, parted by a thin gap as on a real module.
#pragma once

#include "emu/PanelLook.h"
#include "emu/ScreenImage.h"

#include <QImage>
#include <QWidget>

namespace tessaranth::host {

class PanelWidget : public QWidget {
public:
    PanelWidget(int width, int height, int scale, QWidget* parent = nullptr);

    // Takes a new picture; repaints only when it differs from the shown one.
    void showScreen(const emu::ScreenImage& screen, const emu::PanelLook& look);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int scale_;
    emu::ScreenImage shown_;
    QImage image_;
};

// The scale at which a display of this width reads well on a desktop.
int readableScale(int width);

} // namespace tessaranth::host
