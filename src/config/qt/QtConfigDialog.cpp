// The Linux dialog: the Qt view of the form, shown modally. A host without a Qt application
// gets one for as long as the dialog is open.
#include "config/TConfigForm.h"
#include "config/qt/QtConfigView.h"
#include "config/ConfigDialog.h"
#include "platform/Platform.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

namespace tessaranth::config::native {

namespace {

// Without a display Qt would end the host process; a host that runs headless sets
// QT_QPA_PLATFORM (for instance to offscreen).
bool displayAvailable() {
    return std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

} // namespace

void showConfigDialog(TConfigForm& form) {
    std::unique_ptr<QApplication> application;
    if (!QCoreApplication::instance()) {
        if (!displayAvailable()) {
            platform::messageBox("The configuration dialog needs a display.", "Tessaranth", platform::mbIconWarning);
            return;
        }
        static int argc = 1;
        static char name[] = "tessaranth";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QApplication>(argc, argv);
    } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        platform::messageBox("The configuration dialog needs a widget application.", "Tessaranth",
                             platform::mbIconWarning);
        return;
    }
    qtview::QtConfigView view(form);
    view.move(formSpec.left, formSpec.top);
    view.exec();
}

void raiseConfigDialog() {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

} // namespace tessaranth::config::native
