// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/PngView.h"

#include "Errors.h"

#include "emu/RgbImage.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tessaranth::host {

PngView::PngView(std::string folder, int32_t every) : folder_(std::move(folder)), every_(every < 1 ? 1 : every) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (!std::filesystem::is_directory(folder_))
        throw Failure("cannot make the folder " + folder_ + (error ? ": " + error.message() : std::string()));
}

void PngView::present(const emu::VirtualDisplay& display) {
    if (frames_++ % every_ != 0) return;
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frames_));
    const std::string path = folder_ + name;
    if (!emu::RgbImage::render(display.screen(), display.look(), pngScale).writePng(path))
        throw Failure("cannot write " + path);
    ++written_;
}

std::string PngView::description() const {
    return "as PNG files in " + folder_ + (every_ > 1 ? " (every " + std::to_string(every_) + "th frame)" : "");
}

} // namespace tessaranth::host
