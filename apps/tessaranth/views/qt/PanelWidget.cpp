// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/qt/PanelWidget.h"

#include <QPainter>

namespace tessaranth::host {

PanelWidget::PanelWidget(QWidget* parent) : QWidget(parent) {}

QSize PanelWidget::sizeHint() const { return image_.size(); }

void PanelWidget::showPicture(const RgbPicture& picture) {
    if (!picture.rgb || picture.width <= 0 || picture.height <= 0) return;
    image_ = QImage(picture.rgb, picture.width, picture.height, 3 * picture.width, QImage::Format_RGB888).copy();
    setMinimumSize(image_.size());
    update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage((width() - image_.width()) / 2, (height() - image_.height()) / 2, image_);
}

} // namespace tessaranth::host
