// SPDX-License-Identifier: GPL-2.0-or-later
// Hands a player's state from the thread that talks to the player to the frame thread, which
// never waits for it: the talking side publishes whole snapshots; a frame takes the newest one
// when the hand-over is free at that moment (else it keeps what it has) and moves the position
// on by the clock, as the player's own display does between the player's reports.
//
// A frame never copies a playlist, nor allocates or frees one: a new playlist is copied on the
// talking side and crosses by exchange; the frame's old one goes back the same way and is freed
// on the talking side.
#pragma once

#include "players/PlayerState.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tessaranth::host {

class LatestState {
public:
    using Clock = std::chrono::steady_clock;

    struct Snapshot {
        PlayerState state;            // positionMillis as of positionTime
        Clock::time_point positionTime;
        double rate = 1;              // position milliseconds per millisecond while playing; 0: stands
    };

    // The talking side: the player's state now. The playlist crosses only when it differs from
    // the last one that did.
    void publish(const Snapshot& snapshot);

    // The frame side: brings `state` up to the newest snapshot and its position up to `now`.
    void update(PlayerState& state, Clock::time_point now);

private:
    // What lies between the two sides. Its playlist is the newest one while `newPlaylist` is set,
    // else the one the frame side gave back, for the talking side to free.
    struct HandOver {
        Snapshot snapshot;
        bool fresh = false;
        bool newPlaylist = false;
    };

    void take(PlayerState& state);

    std::mutex mutex_;
    HandOver handOver_;                    // guarded by mutex_
    // The talking side's own.
    std::vector<PlaylistEntry> crossed_;   // the playlist that crossed last
    // The frame side's own: what the position moves on from.
    int32_t positionMillis_ = 0;
    Clock::time_point positionTime_;
    double rate_ = 0;
    bool taken_ = false;
};

} // namespace tessaranth::host
