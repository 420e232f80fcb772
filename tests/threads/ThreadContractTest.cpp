// SPDX-License-Identifier: GPL-2.0-or-later
// The configuration form edits the settings and asks for redraws on its own thread while the
// host renders frames on another. Built with ThreadSanitizer this test must report nothing; in every build
// it checks that only the frame thread touches the port and that every request is served.
#include "BitmapFile.h"
#include "PluginFixture.h"

#include "config/FormTable.h"
#include "config/TConfigForm.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
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

// Shows the form nowhere; the picture dialog answers with a real bitmap or a missing file.
class HeadlessView : public FormView {
public:
    explicit HeadlessView(std::string picture) : picture_(std::move(picture)) {}
    void controlChanged(int) override {}
    void showError(const char*) override {}
    bool choosePicture(const char*, const char*, char* path, std::size_t size) override {
        const std::string& answer = ++pictures_ % 2 ? picture_ : missing_;
        std::snprintf(path, size, "%s", answer.c_str());
        return true;
    }
    void close(FormResult) override {}

private:
    std::string picture_;
    std::string missing_ = "/nonexistent/skin.bmp";
    int pictures_ = 0;
};

// One thing a user does to a control of the given kind, with a pseudo-random value.
void actOn(TConfigForm& form, int control, uint32_t value) {
    const ControlSpec& entry = formControls()[static_cast<std::size_t>(control)];
    switch (entry.kind) {
    case ControlKind::edit:
        form.textChanged(control, std::to_string(static_cast<int>(value % 300) - 20));
        form.editExited(control);
        return;
    case ControlKind::checkBox:
        form.checkBoxToggled(control, !form.state(control).checked);
        form.checkBoxMouseUp(control);
        return;
    case ControlKind::dropDown:
    case ControlKind::editableDropDown:
    case ControlKind::list:
    case ControlKind::radioGroup:
        if (!entry.items.empty()) form.itemChosen(control, static_cast<int>(value % entry.items.size()));
        return;
    case ControlKind::slider: form.sliderMoved(control, static_cast<int>(value % 120)); return;
    case ControlKind::button: form.buttonPressed(control); return;
    default: return;
    }
}

// A user who keeps changing things: the form is built on the dialog's thread, as the host's
// Config call builds it, and every control in turn gets a pseudo-random action.
void runDialog(const std::string& picture, const std::atomic<bool>& stop, std::atomic<long>& steps) {
    TConfigForm form;
    HeadlessView view(picture);
    form.attach(&view);
    const auto controls = static_cast<uint32_t>(formControls().size());
    uint32_t state = 12345;
    for (uint32_t step = 0; !stop.load(std::memory_order_relaxed); ++step) {
        state = state * 1103515245u + 12345u;
        actOn(form, static_cast<int>(step % controls), state >> 8);
        steps.fetch_add(1, std::memory_order_relaxed);
    }
}

bool anyRequestPending(const WinampPlugin& p) {
    for (uint8_t flag : {p.backgroundReloadPending, p.analyzerTextClearPending, p.analyzerGraphicsClearPending,
                         p.scopeTextClearPending, p.scopeGraphicsClearPending, p.vuClearPending,
                         p.playlistClearPending, p.playlistRedrawPending, p.brightnessPending})
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
    const std::string picture =
        writeTestFile("thread-skin.bmp", emu::oneBitBitmap(240, 128, [](int x, int y) { return (x ^ y) % 3 == 0; }));
    std::thread dialog(runDialog, std::cref(picture), std::cref(stop), std::ref(steps));
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
    // The dialog's "Get settings" loads whatever its "Save settings" stored, which may switch
    // every field off; so frames are only known to have reached the display, not how often.
    EXPECT_GT(threadHost.accesses.load(), 0);
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

namespace tessaranth::test {
namespace {

// A load of the settings on the dialog's thread stores the bus while the frame thread may take
// it for a driver: every number read is one of the values stored, never a mixture of two.
TEST(BusSettingsThreads, ABusStoredWhileAnotherThreadTakesItIsNeverTorn) {
    Settings settings;
    BusSettings first, second;
    second.spiSpeedHz = 0x01020304;  // every byte differs from 8 MHz's
    second.dataLines[3] = 0xFF00;     // against -1: either half of a torn read shows
    std::atomic<bool> stop{false};
    std::thread dialog([&] {
        for (int i = 0; !stop.load(std::memory_order_relaxed); ++i) settings.setBus(i % 2 ? second : first);
    });
    long mixed = 0;
    for (int i = 0; i < 20000; ++i) {
        const BusSettings bus = settings.bus();
        mixed += bus.spiSpeedHz != first.spiSpeedHz && bus.spiSpeedHz != second.spiSpeedHz;
        mixed += bus.dataLines[3] != first.dataLines[3] && bus.dataLines[3] != second.dataLines[3];
    }
    stop = true;
    dialog.join();
    EXPECT_EQ(mixed, 0);
}

} // namespace
} // namespace tessaranth::test
