#include "views/PanelWidget.h"

#include "emu/RgbImage.h"

#include <QPainter>

#include <algorithm>

namespace tessaranth::host {

int readableScale(int width) { return std::clamp(960 / std::max(width, 1), 2, 8); }

PanelWidget::PanelWidget(int width, int height, int scale, QWidget* parent)
    : QWidget(parent), scale_(scale), image_(width * scale, height * scale, QImage::Format_RGB888) {
    image_.fill(Qt::black);
    setMinimumSize(image_.size());
}

QSize PanelWidget::sizeHint() const { return image_.size(); }

void PanelWidget::showScreen(const emu::ScreenImage& screen, const emu::PanelLook& look) {
    if (screen == shown_) return;
    const emu::RgbImage rgb = emu::RgbImage::render(screen, look, scale_);
    if (rgb.width() != image_.width() || rgb.height() != image_.height())
        image_ = QImage(rgb.width(), rgb.height(), QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); ++y) {
        uchar* line = image_.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const emu::Rgb c = rgb.pixel(x, y);
            line[3 * x] = c.red;
            line[3 * x + 1] = c.green;
            line[3 * x + 2] = c.blue;
        }
    }
    shown_ = screen;
    update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage((width() - image_.width()) / 2, (height() - image_.height()) / 2, image_);
}

} // namespace tessaranth::host
