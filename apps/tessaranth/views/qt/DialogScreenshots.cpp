// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/qt/DialogScreenshots.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QWidget>

namespace tessaranth::host {

namespace {

// The dialog's page control: the one plain widget in it that takes the keyboard (its arrow
// keys turn the pages); its child widgets are the pages.
QWidget* pageControl(QWidget* dialog) {
    for (QWidget* w : dialog->findChildren<QWidget*>())
        if (std::string_view(w->metaObject()->className()) == "QWidget" && w->focusPolicy() != Qt::NoFocus) return w;
    return nullptr;
}

int pageCount(QWidget* control) {
    return control ? static_cast<int>(control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size()) : 1;
}

} // namespace

DialogScreenshots::DialogScreenshots(QString folder) : folder_(std::move(folder)) {
    failed_ = !QDir().mkpath(folder_);
    timer_.setInterval(50);
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    timer_.start();
}

void DialogScreenshots::look() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer_.stop();
    photograph(dialog);
    dialog->reject();
}

void DialogScreenshots::photograph(QWidget* dialog) {
    QWidget* control = pageControl(dialog);
    const int pages = pageCount(control);
    for (int page = 0; page < pages; ++page) {
        QApplication::processEvents();
        const QString file = QStringLiteral("%1/page-%2.png").arg(folder_).arg(page + 1, 2, 10, QLatin1Char('0'));
        if (dialog->grab().save(file, "PNG"))
            ++written_;
        else
            failed_ = true;
        if (!control) break;
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(control, &right);
    }
}

} // namespace tessaranth::host
