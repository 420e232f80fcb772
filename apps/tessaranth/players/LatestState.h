// Hands a player's state from the thread that talks to the player to the frame thread, which
// never waits for it: the talking side publishes whole snapshots; a frame takes the newest one
// when the hand-over is free at that moment (else it keeps what it has) and moves the position
// on by the clock, as the player's own display does between the player's reports.
#pragma once

#include "players/PlayerState.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

namespace tessaranth::host {

class LatestState {
public:
    using Clock = std::chrono::steady_clock;

    struct Snapshot {
        PlayerState state;            // positionMillis as of positionTime
        Clock::time_point positionTime;
        double rate = 1;              // position milliseconds per millisecond while playing; 0: stands
    };

    // The talking side: the player's state now. Compares the playlist with the last one, so that
    // the frame side copies it only when it changed.
    void publish(Snapshot snapshot);

    // The frame side: brings `state` up to the newest snapshot and its position up to `now`.
    void update(PlayerState& state, Clock::time_point now);

private:
    struct Published {
        Snapshot snapshot;
        uint64_t playlistVersion;
    };

    std::mutex mutex_;
    std::shared_ptr<const Published> latest_;  // guarded by mutex_
    uint64_t version_ = 0;                     // guarded by mutex_
    // The talking side's own.
    std::shared_ptr<const Published> lastPublished_;
    // The frame side's own.
    std::shared_ptr<const Published> current_;
    uint64_t seen_ = 0;
    uint64_t copiedPlaylist_ = 0;
};

} // namespace tessaranth::host
