// SPDX-License-Identifier: GPL-2.0-or-later
#include "Scenes.h"

#include "PanelFields.h"

#include "geometry/DisplayFormat.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tessaranth::test {

namespace {

constexpr SceneSpec scenes[] = {
    {"idle", SceneContent::idle, 0, 3},
    {"text", SceneContent::text, 0, 3},
    {"vis", SceneContent::vis, 0, 3},
    {"everything", SceneContent::everything, 0, 3},
    {"everything KS0108B 128x64", SceneContent::everything, 3, 0},
    {"everything SED1335 320x240", SceneContent::everything, 2, 6},
    {"everything Noritake 128x64", SceneContent::everything, 5, 0},
    {"everything USB2LCD 240x128", SceneContent::everything, 6, 3},
};

const char* const fileNames[] = {
    "C:\\Music\\Opening Theme.mp3", "C:\\Music\\Second Movement.mp3", "C:\\Music\\Night Drive.mp3",
    "C:\\Music\\Harbour Lights.mp3", "C:\\Music\\Glass Garden.mp3",   "C:\\Music\\Closing Credits.mp3",
};
constexpr int trackCount = 6;

// What a scene's player reports; the time moves on with every frame.
struct PlayerState {
    int32_t positionMillis = 0;
};

intptr_t answer(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const auto& state = *static_cast<const PlayerState*>(context);
    if (message != 0x0400) return 0;
    switch (lParam) {
    case 104: return 1;
    case 105: return wParam == 0 ? state.positionMillis : 245;
    case 124: return trackCount;
    case 125: return 2;
    case 126: return wParam == 0 ? 44 : wParam == 1 ? 192 : 2;
    case 211: return wParam < trackCount ? reinterpret_cast<intptr_t>(fileNames[wParam]) : 0;
    case 250: return 1;
    default: return 0;
    }
}

int32_t title(void*, char* buffer, int32_t size) {
    return std::snprintf(buffer, static_cast<std::size_t>(size), "%s",
                         "3. The Long Name Orchestra - A Title Far Too Long For Its Field - Winamp");
}

void showText(Settings& s) {
    s.setShowTrack(1);
    s.setShowTime(1);
    s.setShowSamplerate(1);
    s.setShowBitrate(1);
    s.setShowTrackinfo(1);
    s.setShowStatus(1);
    s.setShowRepeat(1);
    s.setShowShuffle(1);
    s.setShowPlaylist(1);
    s.setPlaylistX(20);
    s.setPlaylistY(2);
}

void showVisualisations(Settings& s) {
    s.setShowAnalyzer(1);
    s.setShowScope(1);
    s.setScopeType(1);
    s.setShowVUMeter(1);
}

void useEmptySettingsFolder() {
    static const bool done = [] {
        const auto folder = std::filesystem::temp_directory_path() / "tessaranth-scenes";
        std::filesystem::create_directories(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        return true;
    }();
    (void)done;
}

void arrangeForPanel(Settings& s, const SceneSpec& scene) {
    const DisplaySize size = displaySize(scene.displayFormat);
    placePanelFields(s, size.width, size.height, false);
    const bool text = scene.content != SceneContent::vis;
    const bool vis = scene.content == SceneContent::vis || scene.content == SceneContent::everything;
    const bool shortPanel = size.height < 64;
    if (shortPanel && vis) fitShortPanel(s, size.height, text);
    s.setShowTitle(text ? 1 : 0);
    s.setShowArtist(text && !(shortPanel && vis) ? 1 : 0);
    s.setShowTime(text && !(shortPanel && vis) ? 1 : 0);
    s.setScrollTitle(text && scene.content != SceneContent::idle ? 1 : 0);
    s.setShowAnalyzer(vis ? 1 : 0);
    s.setShowScope(vis ? 1 : 0);
    s.setShowVUMeter(vis ? 1 : 0);
}

SceneCounters& counters(void* context) { return *static_cast<SceneCounters*>(context); }

PlayerState playerState;

} // namespace

std::span<const SceneSpec> standardScenes() { return scenes; }

SceneRunner::SceneRunner(const SceneSpec& scene, const TessaranthHostServices* services, int warmUpFrames)
    : paused_(scene.panelLayout && scene.content == SceneContent::idle) {
    useEmptySettingsFolder();
    services_.version = TESSARANTH_HOST_SERVICES_VERSION;
    services_.context = &counters;
    services_.writePort = [](void* c, uint16_t, uint16_t) { ++tessaranth::test::counters(c).portAccesses; };
    services_.readPort = [](void* c, uint16_t) -> uint16_t {
        ++tessaranth::test::counters(c).portAccesses;
        return 0;
    };
    services_.messageBox = [](void*, const char*, const char*, uint32_t) -> int32_t { return 1; };
    services_.sleepMillis = [](void*, uint32_t) {};
    services_.usbOpen = [](void*) -> int32_t { return 0; };
    services_.usbSetBaudRate = [](void*, uint32_t) -> int32_t { return 0; };
    services_.usbWrite = [](void* c, const uint8_t*, uint32_t length) -> int32_t {
        tessaranth::test::counters(c).usbBytes += length;
        return 0;
    };
    services_.usbClose = [](void*) {};
    tessaranthSetHostServices(services ? services : &services_);

    loadPlugin();
    Settings& s = *gSettings;
    s.setController(scene.controller);
    s.setDisplayFormat(scene.displayFormat);
    if (scene.panelLayout) {
        arrangeForPanel(s, scene);
    } else {
        if (scene.content == SceneContent::text || scene.content == SceneContent::everything) showText(s);
        if (scene.content == SceneContent::vis || scene.content == SceneContent::everything) showVisualisations(s);
    }

    window_ = {&playerState, answer, title};
    VisModule& module = *winampVisGetHeader()->lookupModule(0);
    module.playerWindow = &window_;
    playerState.positionMillis = 0;
    module.initCallback(&module);
    for (int i = 0; i < warmUpFrames; ++i) frame();
    counters = {};
}

SceneRunner::~SceneRunner() {
    VisModule& module = *winampVisGetHeader()->lookupModule(0);
    module.quitCallback(&module);
    unloadPlugin();
    tessaranthSetHostServices(nullptr);
}

void SceneRunner::advancePlayer() {
    VisModule& module = *winampVisGetHeader()->lookupModule(0);
    if (paused_) return;
    playerState.positionMillis += 60;
    feedNoise(module, noise_);
}

void feedNoise(VisModule& module, uint32_t& noise) {
    for (int channel = 0; channel < 2; ++channel) {
        for (int i = 0; i < VIS_SPECTRUM_ENTRIES; ++i) {
            noise = noise * 1103515245u + 12345u;
            module.spectrumBytes[channel][i] = static_cast<uint8_t>((noise >> 16) % (256 - i * 255 / VIS_SPECTRUM_ENTRIES));
            module.waveformBytes[channel][i] = static_cast<uint8_t>(noise >> 24);
        }
    }
}

void SceneRunner::frame() {
    advancePlayer();
    VisModule& module = *winampVisGetHeader()->lookupModule(0);
    module.renderCallback(&module);
}

} // namespace tessaranth::test
