// SPDX-License-Identifier: GPL-2.0-or-later
// The window of the virtual display and the pictures of the dialog are drawn with Qt, in a
// module of their own (qt/tessaranth-window.so in the plug-in's folder) that is loaded only
// when a window is shown or the dialog photographed: tessaranth itself needs no toolkit. This is
// all the program and the module share. They are built together; the entry point's name carries
// the version of this interface, so a module of another version is not found rather than misused.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tessaranth::host {

// 3 bytes (red, green, blue) a pixel, row by row from the top left.
struct RgbPicture {
    int width = 0;
    int height = 0;
    const uint8_t* rgb = nullptr;
};

class ModuleWindow {
public:
    virtual ~ModuleWindow() = default;
    // The glass and the line beneath it; the window keeps a copy.
    virtual void show(const RgbPicture& picture, const std::string& status) = 0;
    // Shows the window and runs step in the event loop, again after the milliseconds it returns,
    // until it returns nothing or the window is closed.
    virtual void run(const std::function<std::optional<int32_t>()>& step) = 0;
    virtual void close() = 0;
    virtual bool closed() const = 0;
};

class DialogPictures {
public:
    virtual ~DialogPictures() = default;
    virtual int written() const = 0;
    virtual bool failed() const = 0;
};

struct WindowModule {
    // A window with a Configure button that calls configure, when set. The module makes the Qt
    // application when there is none yet, for as long as the window lives.
    std::unique_ptr<ModuleWindow> (*openWindow)(const std::string& title, std::function<void()> configure);
    // Waits for the plug-in's dialog to open, saves a picture of every page into the folder (made
    // when missing) as page-01.png, page-02.png, ... and cancels the dialog. The same for the
    // application.
    std::unique_ptr<DialogPictures> (*photographDialog)(const std::string& folder);
};

constexpr const char* windowModuleEntry = "tessaranthWindowModule1";
using WindowModuleEntry = const WindowModule* (*)();

} // namespace tessaranth::host
