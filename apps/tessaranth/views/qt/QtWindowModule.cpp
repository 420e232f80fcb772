// SPDX-License-Identifier: GPL-2.0-or-later
// The window module's entry (see views/WindowModule.h): the window and the dialog's pictures,
// each with the Qt application it needs when the program has none yet.
#include "views/WindowModule.h"
#include "views/qt/DialogScreenshots.h"
#include "views/qt/QtWindow.h"

#include <QApplication>

namespace tessaranth::host {

namespace {

// The application when there is none yet; nothing when there is one.
std::unique_ptr<QApplication> applicationIfNone() {
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 1;
    static char name[] = "tessaranth";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

class WindowOfQt : public ModuleWindow {
public:
    WindowOfQt(const std::string& title, std::function<void()> configure)
        : application_(applicationIfNone()), window_(QString::fromStdString(title), std::move(configure)) {}

    void show(const RgbPicture& picture, const std::string& status) override {
        window_.showPicture(picture, QString::fromStdString(status));
    }
    void run(const std::function<std::optional<int32_t>()>& step) override { window_.run(step); }
    void close() override { window_.close(); }
    bool closed() const override { return window_.closed(); }

private:
    std::unique_ptr<QApplication> application_;  // made before the window and gone after it
    QtWindow window_;
};

class PicturesOfQt : public DialogPictures {
public:
    explicit PicturesOfQt(const std::string& folder)
        : application_(applicationIfNone()), screenshots_(QString::fromStdString(folder)) {}

    int written() const override { return screenshots_.written(); }
    bool failed() const override { return screenshots_.failed(); }

private:
    std::unique_ptr<QApplication> application_;
    DialogScreenshots screenshots_;
};

std::unique_ptr<ModuleWindow> openWindow(const std::string& title, std::function<void()> configure) {
    return std::make_unique<WindowOfQt>(title, std::move(configure));
}

std::unique_ptr<DialogPictures> photographDialog(const std::string& folder) {
    return std::make_unique<PicturesOfQt>(folder);
}

constexpr WindowModule module{&openWindow, &photographDialog};

} // namespace

} // namespace tessaranth::host

extern "C" __attribute__((visibility("default"))) const tessaranth::host::WindowModule* tessaranthWindowModule1() {
    return &tessaranth::host::module;
}
