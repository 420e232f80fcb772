// SPDX-License-Identifier: GPL-2.0-or-later
// The dialog module's entry (see config/DialogModule.h): the Qt view of the form, shown
// modally. A host without a Qt application gets one for as long as the dialog is open.
#include "config/DialogModule.h"
#include "config/qt/QtConfigView.h"

#include <QApplication>

#include <memory>

namespace tessaranth::qtview {

namespace {

const char* show(FormInput& form) {
    std::unique_ptr<QApplication> application;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "tessaranth";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QApplication>(argc, argv);
    } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return "The configuration dialog needs a widget application.";
    }
    QtConfigView view(form);
    view.move(form.shape().left, form.shape().top);
    view.exec();
    return nullptr;
}

void raise() {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

constexpr DialogModule module{&show, &raise};

} // namespace

} // namespace tessaranth::qtview

extern "C" __attribute__((visibility("default"))) const tessaranth::DialogModule* tessaranthDialogModule1() {
    return &tessaranth::qtview::module;
}
