// SPDX-License-Identifier: GPL-2.0-or-later
// The bus traffic is the contract: every port access, USB call, message box and sleep of the
// plug-in, for every controller value and display size in a set of scenes, is folded into one
// digest per run and compared with tests/golden/bus-traces.txt. A change of shape must leave
// every digest as it is.
//
//   TESSARANTH_UPDATE_GOLDEN=1   writes the digests anew (only on purpose)
//   TESSARANTH_TRACE_DIR=DIR     keeps the whole trace of each run in DIR/<run>.trace; when a
//                                trace of that name is there already, a run that differs from it
//                                reports its first differing line
#include "BitmapFile.h"
#include "ConfigHome.h"
#include "FakePlayer.h"
#include "Scenes.h"

#include "geometry/DisplayFormat.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tessaranth::test {

namespace {

// The last name is a value without a row.
const char* const controllerNames[] = {"t6963c",  "sed1330", "sed1335", "ks0108b", "hd61830", "noritake", "usb2lcd",
                                       "ssd1306", "ssd1309", "sh1106",  "st7920",  "ssd1322",  "none"};
constexpr uint8_t controllerValues = 13;

enum class Scene { initQuit, text, analyzer, analyzerBlock, scope, scopeBlock, vuMeter, models, background, playlist, options };

struct SceneName {
    Scene scene;
    const char* name;
};

constexpr SceneName sceneNames[] = {
    {Scene::initQuit, "init-quit"},     {Scene::text, "text"},           {Scene::analyzer, "analyzer"},
    {Scene::analyzerBlock, "analyzer-block"}, {Scene::scope, "scope"}, {Scene::scopeBlock, "scope-block"},
    {Scene::vuMeter, "vu-meter"},       {Scene::models, "models"},       {Scene::background, "background"},
    {Scene::playlist, "playlist"},      {Scene::options, "options"},
};

// One run's traffic, hashed as it comes (FNV-1a, 64 bits) and kept as text lines only when a
// trace folder asks for them.
class Trace {
public:
    explicit Trace(bool keepLines) : keep_(keepLines) {}

    void access(char kind, uint16_t port, uint16_t value) {
        const uint8_t bytes[] = {static_cast<uint8_t>(kind), static_cast<uint8_t>(port), static_cast<uint8_t>(port >> 8),
                                 static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        mix(bytes, sizeof bytes);
        if (keep_) lines_.push_back(std::string(1, kind) + " " + hex(port) + " " + hex(value));
    }
    void event(const std::string& line) {
        mix(reinterpret_cast<const uint8_t*>(line.data()), line.size() + 1);
        if (keep_) lines_.push_back(line);
    }
    void usbWrite(const uint8_t* data, uint32_t length) { write('u', "usb write", data, length); }
    // An I2C message ('i'), or SPI bytes with D/C low ('c') or high ('d').
    void write(uint8_t kind, const char* label, const uint8_t* data, uint32_t length) {
        mix(&kind, 1);
        mix(data, length);
        if (!keep_) return;
        std::string line = label;
        for (uint32_t i = 0; i < length; ++i) line += " " + hex(data[i]);
        lines_.push_back(line);
    }
    std::string digest() const {
        char text[64];
        std::snprintf(text, sizeof text, "%llu %016llx", static_cast<unsigned long long>(count_),
                      static_cast<unsigned long long>(hash_));
        return text;
    }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    static std::string hex(unsigned value) {
        char text[16];
        std::snprintf(text, sizeof text, "%x", value);
        return text;
    }
    void mix(const uint8_t* bytes, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001B3ull;
        ++count_;
    }

    bool keep_;
    uint64_t hash_ = 0xCBF29CE484222325ull;
    uint64_t count_ = 0;
    std::vector<std::string> lines_;
};

Trace& traceOf(void* context) { return *static_cast<Trace*>(context); }

TessaranthHostServices recordingServices(Trace& trace) {
    TessaranthHostServices s{};
    s.version = TESSARANTH_HOST_SERVICES_VERSION;
    s.context = &trace;
    s.writePort = [](void* c, uint16_t port, uint16_t value) { traceOf(c).access('w', port, value); };
    s.readPort = [](void* c, uint16_t port) -> uint16_t {
        traceOf(c).access('r', port, 0);
        return 0;
    };
    s.messageBox = [](void* c, const char* text, const char* caption, uint32_t style) -> int32_t {
        traceOf(c).event(std::string("box ") + (caption ? caption : "") + " | " + (text ? text : "") + " | " +
                         std::to_string(style));
        return 1;
    };
    s.sleepMillis = [](void* c, uint32_t ms) { traceOf(c).event("sleep " + std::to_string(ms)); };
    s.usbOpen = [](void* c) -> int32_t {
        traceOf(c).event("usb open");
        return 0;
    };
    s.usbSetBaudRate = [](void* c, uint32_t baud) -> int32_t {
        traceOf(c).event("usb baud " + std::to_string(baud));
        return 0;
    };
    s.usbWrite = [](void* c, const uint8_t* data, uint32_t length) -> int32_t {
        traceOf(c).usbWrite(data, length);
        return 0;
    };
    s.usbClose = [](void* c) { traceOf(c).event("usb close"); };
    s.i2cOpen = [](void* c, const char* device, uint8_t address, char*, uint32_t) -> int32_t {
        traceOf(c).event(std::string("i2c open ") + device + " " + std::to_string(address));
        return 0;
    };
    s.i2cWrite = [](void* c, int32_t, const TessaranthI2cMessage* messages, uint32_t count) -> int32_t {
        for (uint32_t i = 0; i < count; ++i) traceOf(c).write('i', "i2c write", messages[i].data, messages[i].length);
        return 0;
    };
    s.i2cClose = [](void* c, int32_t) { traceOf(c).event("i2c close"); };
    s.spiOpen = [](void* c, const char* device, uint8_t mode, uint32_t hz, char*, uint32_t) -> int32_t {
        traceOf(c).event(std::string("spi open ") + device + " " + std::to_string(mode) + " " + std::to_string(hz));
        return 0;
    };
    s.spiWrite = [](void* c, int32_t, int32_t dc, const uint8_t* data, uint32_t length) -> int32_t {
        traceOf(c).write(dc ? 'd' : 'c', dc ? "spi data" : "spi command", data, length);
        return 0;
    };
    s.spiResetPulse = [](void* c, int32_t, uint32_t micros) -> int32_t {
        traceOf(c).event("spi reset " + std::to_string(micros));
        return 0;
    };
    s.spiClose = [](void* c, int32_t) { traceOf(c).event("spi close"); };
    return s;
}

void showAllText(Settings& s) {
    s.setShowTitle(1);
    s.setShowArtist(1);
    s.setShowTrack(1);
    s.setShowTime(1);
    s.setShowSamplerate(1);
    s.setShowBitrate(1);
    s.setShowTrackinfo(1);
    s.setShowStatus(1);
    s.setShowRepeat(1);
    s.setShowShuffle(1);
    s.setScrollTitle(1);
    s.setScrollArtist(1);
}

std::string backgroundFile(DisplaySize size) {
    const auto bytes = emu::oneBitBitmap(size.width, size.height, [](int x, int y) { return (x / 3 + y / 2) % 5 == 0 || y == 0; });
    return writeTestFile("background-" + std::to_string(size.width) + "x" + std::to_string(size.height) + ".bmp", bytes);
}

void applyScene(Settings& s, Scene scene, DisplaySize size) {
    switch (scene) {
    case Scene::initQuit: break;
    case Scene::text: showAllText(s); break;
    case Scene::analyzer: s.setShowAnalyzer(1); break;
    case Scene::analyzerBlock:
        s.setShowAnalyzer(1);
        s.setBlockAnalyzer(1);
        s.setStereoAnalyzer(1);
        break;
    case Scene::scope:
        s.setShowScope(1);
        s.setScopeType(1);
        break;
    case Scene::scopeBlock:
        s.setShowScope(1);
        s.setBlockScope(1);
        break;
    case Scene::vuMeter: s.setShowVUMeter(1); break;
    case Scene::models: s.setShowModelEngine(1); break;
    case Scene::background: s.setBackground(backgroundFile(size).c_str()); break;
    case Scene::playlist:
        s.setShowPlaylist(1);
        s.setTrackNumbering(1);
        break;
    case Scene::options:
        showAllText(s);
        s.setShowAnalyzer(1);
        s.setShowVUMeter(1);
        s.setInverse(1);
        s.setInterfaceTiming(1);
        s.setLptAddress(0x278);
        s.setWiringCS(2);
        s.setWiringA0(0);
        s.setWiringWR(3);
        s.setWiringRD(1);
        break;
    }
}

// What a dialog does while the display runs: options and requests between two frames.
void changeMidway(Settings& s) {
    s.setInverse(0);
    s.setInterfaceTiming(0);
    s.setBrightness(9);
    s.setShowPlaylist(1);
    gPlugin->requestBrightnessChange();
    gPlugin->requestBackgroundReload();
    gPlugin->requestAnalyzerGraphicsClear();
    gPlugin->requestAnalyzerTextClear();
    gPlugin->requestScopeGraphicsClear();
    gPlugin->requestScopeTextClear();
    gPlugin->requestVUClear();
    gPlugin->requestPlaylistClear();
}

constexpr int framesPerRun = 14;

struct TraceRun {
    uint8_t controller;
    uint8_t format;
    SceneName scene;
    std::string name() const {
        const DisplaySize size = displaySize(format);
        return std::string(controllerNames[controller]) + "-" + std::to_string(size.width) + "x" +
               std::to_string(size.height) + "-" + scene.name;
    }
};

Trace record(const TraceRun& run, bool keepLines) {
    Trace trace(keepLines);
    TemporaryConfigHome home;
    const TessaranthHostServices services = recordingServices(trace);
    tessaranthSetHostServices(&services);
    FakePlayer player;
    player.windowTitle = "3. The Long Name Orchestra - A Title Far Too Long For Its Field - Winamp";
    player.listLength = 6;
    player.listPosition = 2;
    player.shuffle = 1;
    player.fileNames = {"C:\\Music\\Opening Theme.mp3", "C:\\Music\\Second Movement.mp3", "C:\\Music\\Night Drive.mp3",
                        "C:\\Music\\Harbour Lights.mp3", "C:\\Music\\Glass Garden.mp3", "/music/Closing Credits.flac"};
    loadPlugin();
    Settings& s = *gSettings;
    s.setController(run.controller);
    s.setDisplayFormat(run.format);
    applyScene(s, run.scene.scene, displaySize(run.format));
    s.saveToRegistry();
    VisModule& module = *winampVisGetHeader()->lookupModule(0);
    module.playerWindow = player.window();
    uint32_t noise = 12345;
    module.initCallback(&module);
    for (int frame = 0; frame < framesPerRun; ++frame) {
        player.positionMillis += 1130;
        if (frame == 9) player.listPosition = 3;
        if (frame == 6 && run.scene.scene == Scene::options) changeMidway(s);
        if (frame == 11) player.playState = 3;
        feedNoise(module, noise);
        module.renderCallback(&module);
    }
    module.quitCallback(&module);
    unloadPlugin();
    tessaranthSetHostServices(nullptr);
    return trace;
}

std::string goldenPath() { return std::string(TESSARANTH_GOLDEN_DIR) + "/bus-traces.txt"; }

std::map<std::string, std::string> readGolden() {
    std::map<std::string, std::string> digests;
    std::ifstream file(goldenPath());
    std::string name, count, hash;
    while (file >> name >> count >> hash) digests[name] = count + " " + hash;
    return digests;
}

// The first line where a run leaves the trace kept in the folder; empty when there is none.
std::string firstDifference(const std::string& path, const std::vector<std::string>& lines) {
    std::ifstream file(path);
    if (!file) return "";
    std::string kept;
    for (std::size_t i = 0;; ++i) {
        const bool more = static_cast<bool>(std::getline(file, kept));
        if (!more && i == lines.size()) return "";
        if (!more) return "line " + std::to_string(i + 1) + ": the kept trace ends; now: " + lines[i];
        if (i == lines.size()) return "line " + std::to_string(i + 1) + ": the run ends; kept: " + kept;
        if (kept != lines[i]) return "line " + std::to_string(i + 1) + ": kept " + kept + ", now " + lines[i];
    }
}

void keepTrace(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream file(path);
    for (const std::string& line : lines) file << line << '\n';
}

std::vector<TraceRun> runsOf(uint8_t controller) {
    std::vector<TraceRun> runs;
    for (uint8_t format = 0; format < displayFormatCount; ++format) {
        if (!knownDisplaySize(format)) continue;
        for (const SceneName& scene : sceneNames) runs.push_back({controller, format, scene});
    }
    return runs;
}

// Digests written into the golden file, which keeps one line per run in a fixed order.
void updateGolden(const std::map<std::string, std::string>& digests) {
    std::map<std::string, std::string> all = readGolden();
    for (const auto& [name, digest] : digests) all[name] = digest;
    std::ofstream file(goldenPath());
    for (uint8_t c = 0; c < controllerValues; ++c)
        for (const TraceRun& run : runsOf(c))
            if (const auto found = all.find(run.name()); found != all.end()) file << found->first << ' ' << found->second << '\n';
}

class BusTrace : public ::testing::TestWithParam<uint8_t> {};

TEST_P(BusTrace, EverySizeAndSceneSendsTheRecordedTraffic) {
    const char* folder = std::getenv("TESSARANTH_TRACE_DIR");
    const bool update = std::getenv("TESSARANTH_UPDATE_GOLDEN") != nullptr;
    const auto golden = readGolden();
    std::map<std::string, std::string> digests;
    int differing = 0;
    for (const TraceRun& run : runsOf(GetParam())) {
        const std::string name = run.name();
        const Trace trace = record(run, folder != nullptr);
        digests[name] = trace.digest();
        if (folder) {
            const std::string path = std::string(folder) + "/" + name + ".trace";
            const std::string difference = firstDifference(path, trace.lines());
            if (!difference.empty()) ADD_FAILURE() << name << ": " << difference;
            if (difference.empty()) keepTrace(path, trace.lines());
        }
        const auto found = golden.find(name);
        if (update) continue;
        if (found == golden.end())
            ADD_FAILURE() << name << ": no recorded digest";
        else if (found->second != trace.digest() && ++differing <= 10)
            ADD_FAILURE() << name << ": sends other traffic (recorded " << found->second << ", now " << trace.digest()
                          << "); TESSARANTH_TRACE_DIR shows the first difference against a kept trace";
    }
    if (update) updateGolden(digests);
    EXPECT_EQ(differing, 0) << "runs whose traffic changed";
}

std::string controllerName(const ::testing::TestParamInfo<uint8_t>& run) { return controllerNames[run.param]; }

INSTANTIATE_TEST_SUITE_P(Controllers, BusTrace, ::testing::Range<uint8_t>(0, controllerValues), controllerName);

} // namespace

} // namespace tessaranth::test
