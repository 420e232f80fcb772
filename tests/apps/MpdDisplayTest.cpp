// The whole Linux host against a real MPD: songs made and tagged by the test, the plug-in with a
// configuration file that shows time, play status and the analyzer, and the virtual display,
// read back from the emulated T6963C's memory and glass.
#include "session/HostSession.h"
#include "audio/FifoAudio.h"
#include "players/MpdFollower.h"
#include "MpdServer.h"
#include "session/PluginLibrary.h"
#include "session/StoredSettings.h"
#include "views/VirtualDisplayTarget.h"

#include "emu/T6963CEmulator.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

namespace tessaranth::host {
namespace {

using test::MpdServer;
using test::waitFor;

// Noise that swells and fades: the analyzer moves while a song plays.
const std::vector<test::TestSong> songs = {
    {"one.flac", "Test Artist", "First Tone", 8, 300, true},
    {"two.flac", "Other Artist", "Second Tone", 8, 500, true},
};

// The defaults with the time, the play status and the analyzer shown, as a configuration file.
std::string writeConfiguration(const std::string& folder) {
    loadPlugin();
    gSettings->setShowTime(1);
    gSettings->setShowStatus(1);
    gSettings->setShowAnalyzer(1);
    const std::string path = folder + "/test.tzn";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(&gSettings->image()), settingsImageSize);
    unloadPlugin();
    return path;
}

// A save always succeeds once the settings can be stored at all.
bool settingsCanBeStored() {
    const std::string home = ::testing::TempDir() + "can-store-" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    loadPlugin();
    const bool stored = gSettings->saveToRegistry();
    unloadPlugin();
    std::filesystem::remove_all(home);
    return stored;
}

class MpdDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!settingsCanBeStored()) GTEST_SKIP() << "this build cannot store settings yet";
        ASSERT_TRUE(server.start()) << server.error();
        ASSERT_TRUE(server.queueSongs()) << server.error();
        settings = std::make_unique<StoredSettings>(writeConfiguration(server.folder()));
        display = std::make_unique<VirtualDisplayTarget>(settings->displaySetup());
        plugin = std::make_unique<PluginLibrary>(TESSARANTH_PLUGIN_PATH);
        plugin->setHostServices(display->services());
        session = std::make_unique<HostSession>(*plugin, follower, fifo, nullptr);
        session->start();
    }
    void TearDown() override {
        if (!display) return;
        session.reset();
        ASSERT_TRUE(display->display().problems().empty()) << display->display().problems().text();
    }

    emu::T6963CEmulator& chip() { return dynamic_cast<emu::T6963CEmulator&>(display->display().emulator()); }
    // The text layer, one string a row.
    std::vector<std::string> textRows() {
        std::vector<std::string> rows;
        const emu::ScreenImage screen = display->display().screen();
        const int columns = chip().textArea();
        for (int row = 0; row < screen.height() / 8; ++row) {
            std::string text;
            for (int column = 0; column < columns; ++column) {
                const uint8_t code = chip().memory(static_cast<uint16_t>(chip().textHome() + row * columns + column));
                text += code < 0x60 ? static_cast<char>(code + 0x20) : '?';
            }
            rows.push_back(text);
        }
        return rows;
    }
    bool shows(const std::string& text) {
        for (const std::string& row : textRows())
            if (row.find(text) != std::string::npos) return true;
        return false;
    }
    std::string timeRow() { return textRows().at(3).substr(0, 11); }
    // The analyzer's area (17 cells in, 24 rows down, 4 cells by 16 rows) as lit dots.
    std::vector<bool> analyzerDots() {
        const emu::ScreenImage screen = display->display().screen();
        std::vector<bool> dots;
        for (int y = 24; y < 40; ++y)
            for (int x = 17 * 6; x < 21 * 6; ++x) dots.push_back(screen.pixel(x, y));
        return dots;
    }
    int64_t now() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    }
    // Runs frames until the condition holds (at most `millis`).
    bool frames(int millis, const auto& condition) {
        return waitFor(millis, [&] {
            session->frame(now());
            return condition();
        });
    }

    MpdServer server{songs};
    MpdFollower follower{"127.0.0.1", server.port()};
    FifoAudio fifo{server.fifo()};
    std::unique_ptr<StoredSettings> settings;
    std::unique_ptr<VirtualDisplayTarget> display;
    std::unique_ptr<PluginLibrary> plugin;
    std::unique_ptr<HostSession> session;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

TEST_F(MpdDisplayTest, ShowsWhatMpdPlays) {
    ASSERT_TRUE(frames(3000, [&] { return shows("Stopped"); }));
    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_play_pos(c, 0); }));
    ASSERT_TRUE(frames(4000, [&] { return shows("First Tone") && shows("Test Artist") && shows("Playing"); }))
        << textRows()[0] << "|" << textRows()[1] << "|" << textRows()[7];

    const std::string firstTime = timeRow();
    std::set<std::vector<bool>> analyzerPictures;
    int litFrames = 0;
    ASSERT_TRUE(frames(3000, [&] {
        const std::vector<bool> dots = analyzerDots();
        analyzerPictures.insert(dots);
        litFrames += std::count(dots.begin(), dots.end(), true) > 0;
        return timeRow() != firstTime && analyzerPictures.size() >= 3;
    })) << "time " << firstTime << " -> " << timeRow() << ", " << analyzerPictures.size() << " analyzer pictures";
    EXPECT_GT(litFrames, 0);

    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_pause(c, true); }));
    ASSERT_TRUE(frames(3000, [&] { return shows("Paused"); }));
    const std::string pausedTime = timeRow();
    frames(400, [] { return false; });
    EXPECT_EQ(timeRow(), pausedTime) << "time stands still while paused";

    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_next(c) && mpd_run_pause(c, false); }));
    ASSERT_TRUE(frames(4000, [&] { return shows("Second Tone") && shows("Other Artist") && shows("Playing"); }));
}

} // namespace
} // namespace tessaranth::host
