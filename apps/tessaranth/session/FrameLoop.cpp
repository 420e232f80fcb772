// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/FrameLoop.h"

#include <csignal>
#include <thread>

namespace tessaranth::host {

namespace {

volatile std::sig_atomic_t interruptFlag = 0;

extern "C" void onInterrupt(int) { interruptFlag = 1; }

// Sleeps in short slices so that an interrupt ends the wait soon.
void sleepUntil(std::chrono::steady_clock::time_point when) {
    constexpr auto slice = std::chrono::milliseconds(20);
    while (!interruptFlag) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= when) return;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(when - now, slice));
    }
}

} // namespace

FrameLoop::FrameLoop(HostSession& session, RunLimits limits)
    : session_(session), limits_(limits), start_(Clock::now()) {}

void FrameLoop::catchInterrupts() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool FrameLoop::interrupted() { return interruptFlag != 0; }

int64_t FrameLoop::elapsedMillis() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

bool FrameLoop::over() const {
    if (interrupted() || session_.closeRequested()) return true;
    if (limits_.frames && session_.frames() >= *limits_.frames) return true;
    return limits_.seconds && static_cast<double>(elapsedMillis()) >= *limits_.seconds * 1000.0;
}

std::optional<int32_t> FrameLoop::step() {
    if (over()) return std::nullopt;
    return session_.frame(elapsedMillis());
}

void FrameLoop::run() {
    auto next = Clock::now();
    while (const auto delay = step()) {
        next += std::chrono::milliseconds(*delay);
        const auto now = Clock::now();
        if (next < now) next = now;  // fell behind: do not rush to catch up
        sleepUntil(next);
    }
}

} // namespace tessaranth::host
