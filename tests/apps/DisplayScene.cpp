// SPDX-License-Identifier: GPL-2.0-or-later
#include "DisplayScene.h"

#include "emu/T6963CEmulator.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <algorithm>
#include <fstream>
#include <thread>

namespace tessaranth::test {

namespace {

// The defaults with the time, the play status and the analyzer shown, as a configuration file.
// The analyzer draws no peak markers: a marker falling past the floor would read as a bar.
std::string writeConfiguration(const std::string& folder) {
    loadPlugin();
    gSettings->setShowTime(1);
    gSettings->setShowStatus(1);
    gSettings->setShowAnalyzer(1);
    gSettings->setFalloff(0);
    const std::string path = folder + "/test.tzn";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(&gSettings->image()), settingsImageSize);
    unloadPlugin();
    return path;
}

} // namespace

DisplayScene::DisplayScene(const std::string& folder, host::PlayerSource& player, host::AudioSource& audio)
    : settings_(std::make_unique<host::StoredSettings>(writeConfiguration(folder))),
      display_(std::make_unique<host::VirtualDisplayTarget>(settings_->displaySetup())),
      plugin_(std::make_unique<host::PluginLibrary>(TESSARANTH_PLUGIN_PATH)) {
    plugin_->setHostServices(display_->services());
    session_ = std::make_unique<host::HostSession>(*plugin_, player, audio, nullptr);
    session_->start();
}

DisplayScene::~DisplayScene() = default;

void DisplayScene::frame() {
    session_->frame(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count());
}

bool DisplayScene::frames(int millis, const std::function<bool()>& condition, int intervalMillis) {
    auto next = std::chrono::steady_clock::now();
    const auto end = next + std::chrono::milliseconds(millis);
    for (;;) {
        frame();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        next += std::chrono::milliseconds(intervalMillis);
        std::this_thread::sleep_until(next);
    }
}

std::vector<std::string> DisplayScene::textRows() const {
    auto& chip = dynamic_cast<emu::T6963CEmulator&>(display_->display().emulator());
    const emu::ScreenImage screen = display_->display().screen();
    const int columns = chip.textArea();
    std::vector<std::string> rows;
    for (int row = 0; row < screen.height() / 8; ++row) {
        std::string text;
        for (int column = 0; column < columns; ++column) {
            const uint8_t code = chip.memory(static_cast<uint16_t>(chip.textHome() + row * columns + column));
            text += code < 0x60 ? static_cast<char>(code + 0x20) : '?';
        }
        rows.push_back(text);
    }
    return rows;
}

bool DisplayScene::shows(const std::string& text) const {
    for (const std::string& row : textRows())
        if (row.find(text) != std::string::npos) return true;
    return false;
}

std::string DisplayScene::timeRow() const { return textRows().at(3).substr(0, 11); }

std::vector<bool> DisplayScene::analyzerPicture() const {
    const emu::ScreenImage screen = display_->display().screen();
    std::vector<bool> dots;
    for (int y = 24; y < 40; ++y)
        for (int x = 17 * 6; x < 21 * 6; ++x) dots.push_back(screen.pixel(x, y));
    return dots;
}

int DisplayScene::analyzerDots() const {
    const std::vector<bool> dots = analyzerPicture();
    constexpr int width = 4 * 6, height = 16;
    int lit = 0;
    for (int x = 0; x < width; ++x)
        for (int y = height - 2; y >= 0 && dots[static_cast<std::size_t>(y * width + x)]; --y) ++lit;
    return lit;
}

std::string DisplayScene::problems() const { return display_->display().problems().text(); }

std::string DisplayScene::picture() const {
    std::string text;
    for (const std::string& row : textRows()) text += "|" + row + "|\n";
    return text;
}

} // namespace tessaranth::test
