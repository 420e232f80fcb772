// SPDX-License-Identifier: GPL-2.0-or-later
// Paces the frames of a session: one frame, then the plug-in's delay, until the frame or time
// limit is reached, the user interrupts (SIGINT, SIGTERM) or the plug-in asks to close.
#pragma once

#include "session/HostSession.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace tessaranth::host {

struct RunLimits {
    std::optional<int64_t> frames;
    std::optional<double> seconds;
};

class FrameLoop {
public:
    FrameLoop(HostSession& session, RunLimits limits);

    // Runs the next frame unless the run is over; returns the milliseconds until the frame after
    // it, or nothing when the run is over.
    std::optional<int32_t> step();
    // Steps and sleeps until the run is over.
    void run();

    // Makes SIGINT and SIGTERM end the run after the current frame.
    static void catchInterrupts();
    static bool interrupted();

private:
    using Clock = std::chrono::steady_clock;
    bool over() const;
    int64_t elapsedMillis() const;

    HostSession& session_;
    RunLimits limits_;
    Clock::time_point start_;
};

} // namespace tessaranth::host
