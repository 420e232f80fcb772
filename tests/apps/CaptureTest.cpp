// SPDX-License-Identifier: GPL-2.0-or-later
// The sound server's sound on the display: recorded from the default sink's monitor, into the
// analysis, onto the analyzer; how long it takes; and what happens when the server goes away.
#include "DesktopWorld.h"
#include "DisplayScene.h"
#include "ReportLog.h"
#include "Waiting.h"
#include "audio/PulseCapture.h"
#include "players/MprisFollower.h"

#include <pulse/simple.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace tessaranth::host {
namespace {

using test::desktop;
using Clock = std::chrono::steady_clock;

using Reports = test::ReportLog;

// A player that always plays: the capture's sound goes through.
class PlayingPlayer : public PlayerSource {
public:
    PlayingPlayer() { state_.playState = PlayState::playing; }
    void update(int64_t) override {}
    const PlayerState& state() const override { return state_; }

private:
    PlayerState state_;
};

// Plays into the null sink on a thread of its own, 10 ms at a time: silence, or a 1 kHz tone
// while `tone` is set. Notes when the first tone block is heard on the sink.
class TonePlayer {
public:
    TonePlayer() {
        const pa_sample_spec spec{PA_SAMPLE_S16NE, 44100, 2};
        const pa_buffer_attr attributes{UINT32_MAX, blockBytes, UINT32_MAX, UINT32_MAX, UINT32_MAX};
        stream_ = pa_simple_new(nullptr, "capture test", PA_STREAM_PLAYBACK, "test", "tone", &spec, nullptr,
                                &attributes, nullptr);
        if (stream_) thread_ = std::thread([this] { play(); });
    }
    ~TonePlayer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (stream_) pa_simple_free(stream_);
    }
    bool ok() const { return stream_ != nullptr; }
    void start() {
        const std::lock_guard lock(mutex_);
        heardAt_.reset();
        tone_ = true;
    }
    void silence() { tone_ = false; }
    std::optional<Clock::time_point> heardAt() {
        const std::lock_guard lock(mutex_);
        return heardAt_;
    }

private:
    static constexpr uint32_t blockFrames = 441;
    static constexpr uint32_t blockBytes = blockFrames * 4;

    void play() {
        int16_t block[2 * blockFrames];
        int64_t n = 0;
        while (!stop_) {
            const bool tone = tone_;
            for (uint32_t i = 0; i < blockFrames; ++i, ++n) {
                const auto sample = static_cast<int16_t>(tone ? 16000 * std::sin(2 * M_PI * 1000 * n / 44100.0) : 0);
                block[2 * i] = block[2 * i + 1] = sample;
            }
            if (pa_simple_write(stream_, block, blockBytes, nullptr) < 0) return;
            // What was just written sounds once what is already queued has played.
            const pa_usec_t queued = pa_simple_get_latency(stream_, nullptr);
            const std::lock_guard lock(mutex_);
            if (tone && !heardAt_) heardAt_ = Clock::now() + std::chrono::microseconds(queued) - std::chrono::milliseconds(10);
        }
    }

    pa_simple* stream_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> tone_ = false;
    std::mutex mutex_;
    std::optional<Clock::time_point> heardAt_;
};

TEST(Capture, TheAnalyzerRisesForAToneAndFallsForSilence) {
    const auto files = desktop().makeSongs({{"tone.flac", "Test Artist", "Tone Then Silence", 2, 1000, false, 4}});
    ASSERT_TRUE(desktop().startMpv(files)) << desktop().logs();
    Reports reports;
    MprisFollower follower("", reports.sink());
    PulseCapture capture("", reports.sink());
    test::DisplayScene s(desktop().folder(), follower, capture);
    ASSERT_TRUE(s.frames(5000, [&] { return s.shows("Tone Then Silence"); })) << s.picture();
    EXPECT_EQ(s.analyzerDots(), 0) << "paused: nothing";
    ASSERT_TRUE(desktop().control("Play"));
    // A tone fills one bin: one bar rises most of the way (with sox's tone about 10 of its 15
    // dots above the floor) and its neighbour a little.
    EXPECT_TRUE(s.frames(6000, [&] { return s.analyzerDots() > 8; }, 60)) << "the tone rises";
    EXPECT_TRUE(s.frames(5000, [&] { return s.analyzerDots() == 0 && s.shows("Playing"); }, 60))
        << "the silence after it falls, while the song still plays";
    EXPECT_EQ(s.problems(), "");
    desktop().stopMpv();
}

// From the tone on the sink (and so on its monitor) to the first lit analyzer dot, with frames
// at the plug-in's default interval of 60 ms.
TEST(Capture, FromTheMonitorToTheBarsWithin100Milliseconds) {
    Reports reports;
    PlayingPlayer player;
    PulseCapture capture("", reports.sink());
    test::DisplayScene s(desktop().folder(), player, capture);
    TonePlayer tone;
    ASSERT_TRUE(tone.ok());
    ASSERT_TRUE(test::waitFor(5000, [&] { return capture.blocksHeard() > 20; }));
    std::vector<double> delays;
    for (int round = 0; round < 8; ++round) {
        ASSERT_TRUE(s.frames(3000, [&] { return s.analyzerDots() == 0; }, 60)) << "silence first";
        // The tone starts on its own time, at another point between two frames each round.
        std::thread starter([&tone, round] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100 + 17 * round));
            tone.start();
        });
        const bool shownInTime = s.frames(3000, [&] { return s.analyzerDots() > 0; }, 60);
        const auto shown = Clock::now();
        starter.join();
        tone.silence();
        ASSERT_TRUE(shownInTime);
        const auto heard = tone.heardAt();
        ASSERT_TRUE(heard.has_value());
        delays.push_back(std::chrono::duration<double, std::milli>(shown - *heard).count());
    }
    std::sort(delays.begin(), delays.end());
    const double median = delays[delays.size() / 2];
    std::printf("monitor to bars: median %.0f ms, shortest %.0f ms, longest %.0f ms (%s, frames every 60 ms)\n",
                median, delays.front(), delays.back(),
                desktop().soundServer() == test::DesktopWorld::SoundServer::pipewire ? "PipeWire" : "PulseAudio");
    EXPECT_LT(median, 100);
    EXPECT_LT(delays.back(), 150) << "no round far off";
}

TEST(Capture, SaysOnceWhenTheServerGoesAwayShowsSilenceAndComesBack) {
    Reports reports;
    PulseCapture capture("", reports.sink());
    ASSERT_TRUE(test::waitFor(5000, [&] { return capture.blocksHeard() > 0; }));
    EXPECT_TRUE(reports.lines().empty()) << "a first contact goes without a word";
    desktop().stopSoundServer();
    ASSERT_TRUE(test::waitFor(3000, [&] { return !reports.lines().empty(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // the tries go on
    ASSERT_EQ(reports.lines().size(), 1u);
    EXPECT_EQ(reports.lines()[0].rfind("lost the sound server (default sink's monitor) (", 0), 0u) << reports.lines()[0];
    EXPECT_NE(reports.lines()[0].find("); showing silence and trying again every second"), std::string::npos);
    AudioBlock block;
    block.samples[0].fill(1);
    capture.fill(block, true);
    EXPECT_TRUE(std::all_of(block.samples[0].begin(), block.samples[0].end(), [](int16_t v) { return v == 0; }));

    ASSERT_TRUE(desktop().startSoundServer()) << desktop().error();
    ASSERT_TRUE(test::waitFor(4000, [&] { return reports.lines().size() == 2; }));
    EXPECT_EQ(reports.lines()[1], "the sound server (default sink's monitor) is back");
    const uint64_t heard = capture.blocksHeard();
    EXPECT_TRUE(test::waitFor(3000, [&] { return capture.blocksHeard() > heard + 10; })) << "it records again";
}

// At exit the capture waits half a second for its thread and then leaves it, here stuck in a read
// of a frozen server. The capture and then the owner of the report log are gone when the server
// goes away and the thread, woken, reports the loss: into the log its sink holds (under
// AddressSanitizer a use after free if the sink pointed at the destroyed owner).
TEST(Capture, AThreadLeftAtExitReportsIntoWhatItHolds) {
    // On PulseAudio, on a busy machine, the read of a frozen server was once seen still waiting
    // 5 s after the server was ended, so the left thread had not yet reported: the lifetime this
    // test is about is checked on PipeWire, which wakes the read at once.
    if (desktop().soundServer() == test::DesktopWorld::SoundServer::pulseaudio)
        GTEST_SKIP() << "the left thread's report is awaited on PipeWire only";
    auto owner = std::make_unique<Reports>();
    const Reports kept = *owner;  // shares the lines, to read them afterwards
    auto capture = std::make_unique<PulseCapture>("", owner->sink());
    ASSERT_TRUE(test::waitFor(5000, [&] { return capture->blocksHeard() > 0; }));
    desktop().freezeSoundServer();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the next read waits
    const auto destroyed = Clock::now();
    capture.reset();
    EXPECT_GE(Clock::now() - destroyed, std::chrono::milliseconds(450)) << "the thread was left, not joined";
    owner.reset();
    EXPECT_TRUE(kept.lines().empty());
    desktop().stopSoundServer();
    EXPECT_TRUE(test::waitFor(5000, [&] { return !kept.lines().empty(); })) << "the left thread reports";
    ASSERT_FALSE(kept.lines().empty());
    EXPECT_EQ(kept.lines()[0].rfind("lost the sound server (default sink's monitor) (", 0), 0u) << kept.lines()[0];
    ASSERT_TRUE(desktop().startSoundServer()) << desktop().error();
}

} // namespace
} // namespace tessaranth::host
