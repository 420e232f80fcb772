// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/qt/QtWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tessaranth::host {

QtWindow::QtWindow(const QString& title, std::function<void()> configure) {
    panel_ = new PanelWidget(this);
    status_ = new QLabel(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    if (configure) {
        auto* button = new QPushButton("Configure...", this);
        connect(button, &QPushButton::clicked, this, [configure] { configure(); });
        bottom->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_, 1);
    layout->addLayout(bottom);
    setWindowTitle(title);
}

void QtWindow::showPicture(const RgbPicture& picture, const QString& status) {
    panel_->showPicture(picture);
    status_->setText(status);
}

void QtWindow::run(const std::function<std::optional<int32_t>()>& step) {
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, this, [this, &step, &timer] {
        const auto delay = closed_ ? std::nullopt : step();
        if (delay)
            timer.start(*delay);
        else
            QApplication::quit();
    });
    show();
    timer.start(0);
    QApplication::exec();
}

void QtWindow::closeEvent(QCloseEvent* event) {
    closed_ = true;
    event->accept();
}

} // namespace tessaranth::host
