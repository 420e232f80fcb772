#include "views/WindowView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tessaranth::host {

WindowView::WindowView(const emu::VirtualDisplay& display, std::function<void()> configure) {
    const emu::ScreenImage screen = display.screen();
    panel_ = new PanelWidget(screen.width(), screen.height(), readableScale(screen.width()), this);
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
    setWindowTitle(QString::fromStdString("Tessaranth - " + display.description()));
    present(display);
}

void WindowView::present(const emu::VirtualDisplay& display) {
    panel_->showScreen(display.screen(), display.look());
    const std::size_t problems = display.problems().total();
    if (problems == shownProblems_) return;
    shownProblems_ = problems;
    std::string text = display.description();
    if (problems > 0) text += "  (" + std::to_string(problems) + " commands the display did not understand)";
    status_->setText(QString::fromStdString(text));
}

void WindowView::run(FrameLoop& loop) {
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, this, [this, &loop, &timer] {
        const auto delay = closed_ ? std::nullopt : loop.step();
        if (delay)
            timer.start(*delay);
        else
            QApplication::quit();
    });
    show();
    timer.start(0);
    QApplication::exec();
}

void WindowView::closeEvent(QCloseEvent* event) {
    closed_ = true;
    event->accept();
}

} // namespace tessaranth::host
