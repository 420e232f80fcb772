// The dialog edits the settings and asks for redraws on its own thread while the host renders
// frames on another. Built with ThreadSanitizer this test must report nothing; in every build
// it checks that only the frame thread touches the port and that every request is served.
#include "PluginFixture.h"

#include "host/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace tessaranth::test {
namespace {

// Host services that count what arrives and note any port access from another thread.
class ThreadCheckingHost {
public:
    ThreadCheckingHost() {
        services_.version = TESSARANTH_HOST_SERVICES_VERSION;
        services_.context = this;
        services_.writePort = [](void* self, uint16_t, uint16_t) { static_cast<ThreadCheckingHost*>(self)->note(); };
        services_.readPort = [](void* self, uint16_t) -> uint16_t {
            static_cast<ThreadCheckingHost*>(self)->note();
            return 0;
        };
        services_.messageBox = [](void*, const char*, const char*, uint32_t) -> int32_t { return 1; };
        services_.sleepMillis = [](void*, uint32_t) {};
        services_.usbOpen = [](void*) -> int32_t { return 0; };
        services_.usbSetBaudRate = [](void*, uint32_t) -> int32_t { return 0; };
        services_.usbWrite = [](void* self, const uint8_t*, uint32_t) -> int32_t {
            static_cast<ThreadCheckingHost*>(self)->note();
            return 0;
        };
        services_.usbClose = [](void*) {};
    }

    // Call on the frame thread before any other thread starts.
    void install() {
        frameThread_ = std::this_thread::get_id();
        tessaranthSetHostServices(&services_);
    }

    std::atomic<long> accesses{0};
    std::atomic<long> strayAccesses{0};

private:
    void note() {
        accesses.fetch_add(1, std::memory_order_relaxed);
        if (std::this_thread::get_id() != frameThread_) strayAccesses.fetch_add(1, std::memory_order_relaxed);
    }

    TessaranthHostServices services_{};
    std::thread::id frameThread_;
};

using Setter = void (Settings::*)(uint32_t);

// What the dialog writes: display options, positions and sizes, the analyzer's behaviour.
constexpr Setter setters[] = {
    &Settings::setShowAnalyzer,   &Settings::setShowScope,      &Settings::setShowVUMeter,
    &Settings::setShowPlaylist,   &Settings::setShowTitle,      &Settings::setShowArtist,
    &Settings::setShowTime,       &Settings::setShowTrack,      &Settings::setShowStatus,
    &Settings::setShowRepeat,     &Settings::setShowShuffle,    &Settings::setShowBitrate,
    &Settings::setScrollTitle,    &Settings::setScrollArtist,   &Settings::setScrollSpeed,
    &Settings::setTitleLength,    &Settings::setArtistLength,   &Settings::setTitleX,
    &Settings::setTitleY,         &Settings::setArtistY,        &Settings::setTimeX,
    &Settings::setInverse,        &Settings::setFont,           &Settings::setTimeType,
    &Settings::setAnalyzerWidth,  &Settings::setAnalyzerHeight, &Settings::setAnalyzerX,
    &Settings::setAnalyzerY,      &Settings::setAnalyzerSens,   &Settings::setNonLinearAnalyzer,
    &Settings::setStereoAnalyzer, &Settings::setBlockAnalyzer,  &Settings::setSmoothAnalyzer,
    &Settings::setFalloff,        &Settings::setPeakHold,       &Settings::setScopeWidth,
    &Settings::setScopeHeight,    &Settings::setScopeSens,      &Settings::setStereoScope,
    &Settings::setScopeType,      &Settings::setBlockScope,     &Settings::setVuMeterWidth,
    &Settings::setVuMeterHeight,  &Settings::setVuMeterSens,    &Settings::setVuMeterRange,
    &Settings::setPlaylistWidth,  &Settings::setPlaylistHeight, &Settings::setPlaylistX,
    &Settings::setCurrentPosition, &Settings::setBrightness,    &Settings::setTrackNumbering,
};

using Request = void (WinampPlugin::*)();

constexpr Request requests[] = {
    &WinampPlugin::requestBackgroundReload,   &WinampPlugin::requestAnalyzerTextClear,
    &WinampPlugin::requestAnalyzerGraphicsClear, &WinampPlugin::requestScopeTextClear,
    &WinampPlugin::requestScopeGraphicsClear, &WinampPlugin::requestVUClear,
    &WinampPlugin::requestPlaylistClear,      &WinampPlugin::requestPlaylistRedraw,
};

// A user who keeps changing things: each step one setting with a pseudo-random value (within
// a byte, so also values the dialog's ranges do not allow) and, every few steps, a request.
void runDialog(const std::atomic<bool>& stop, std::atomic<long>& steps) {
    uint32_t state = 12345;
    for (long step = 0; !stop.load(std::memory_order_relaxed); ++step) {
        state = state * 1103515245u + 12345u;
        const uint32_t value = (state >> 16) & 0xFF;
        (gSettings->*setters[step % std::size(setters)])(value % (step % 3 == 0 ? 256 : 24));
        if (step % 5 == 0) (gPlugin->*requests[(step / 5) % std::size(requests)])();
        if (step % 97 == 0) gSettings->setBackground(step % 2 ? "/nonexistent/skin.bmp" : "No skin selected");
        if (step % 89 == 0) gPlugin->setUpdateDelay(static_cast<int32_t>(value));
        steps.fetch_add(1, std::memory_order_relaxed);
    }
}

bool anyRequestPending(const WinampPlugin& p) {
    for (uint8_t flag : {p.backgroundReloadPending, p.analyzerTextClearPending, p.analyzerGraphicsClearPending,
                         p.scopeTextClearPending, p.scopeGraphicsClearPending, p.vuClearPending,
                         p.playlistClearPending, p.playlistRedrawPending})
        if (flag) return true;
    return false;
}

class ThreadContractTest : public PluginFixture, public ::testing::WithParamInterface<uint8_t> {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        threadHost.install();
        player.fileNames = {"C:\\Music\\one.mp3", "C:\\Music\\two.mp3", "C:\\Music\\three.mp3"};
        player.windowTitle = "2. A rather long artist name - and an even longer title that scrolls - Winamp";
        gSettings->setController(GetParam());
        gSettings->setDisplayFormat(GetParam() == 3 || GetParam() == 5 ? 0 : 3);
    }

    ThreadCheckingHost threadHost;
};

TEST_P(ThreadContractTest, DialogEditsWhileFramesRun) {
    ASSERT_EQ(init(), 0);
    std::atomic<bool> stop{false};
    std::atomic<long> steps{0};
    std::thread dialog(runDialog, std::cref(stop), std::ref(steps));
    // At least 0.6 s and enough of both sides to overlap, however busy the machine is.
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
    long frames = 0;
    for (; elapsed() < std::chrono::milliseconds(600) || frames < 20 || steps.load() < 1000; ++frames) {
        if (elapsed() > std::chrono::seconds(30)) break;
        for (int i = 0; i < VIS_SPECTRUM_ENTRIES; ++i)
            module().spectrumBytes[frames % 2][i] = module().waveformBytes[0][i] = static_cast<uint8_t>(i * frames);
        render();
    }
    stop = true;
    dialog.join();

    EXPECT_GE(steps.load(), 1000) << "the dialog thread hardly ran beside " << frames << " frames";
    EXPECT_GT(threadHost.accesses.load(), frames);
    EXPECT_EQ(threadHost.strayAccesses.load(), 0) << "the dialog thread reached the display";
    render();  // a request set during the last frame is served by the next
    EXPECT_FALSE(anyRequestPending(*gPlugin));
    quit();
    EXPECT_EQ(threadHost.strayAccesses.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryDriver, ThreadContractTest, ::testing::Values(0, 1, 3, 5, 6),
                         [](const auto& test) { return "controller" + std::to_string(test.param); });

} // namespace
} // namespace tessaranth::test
