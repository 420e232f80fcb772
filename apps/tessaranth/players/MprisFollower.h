// SPDX-License-Identifier: GPL-2.0-or-later
// Follows a desktop player over MPRIS: the D-Bus side (MprisWatcher) runs in a thread of its own
// and publishes the followed player's state; a frame only takes the newest.
#pragma once

#include "ContactReport.h"
#include "players/LatestState.h"
#include "players/PlayerSource.h"

#include <atomic>
#include <string>
#include <thread>

namespace tessaranth::host {

class MprisFollower : public PlayerSource {
public:
    // playerName: empty: the player that plays, else the first; else org.mpris.MediaPlayer2.<name>
    // or an instance of it. busAddress: empty for the session bus. sink: where the reports go.
    explicit MprisFollower(const std::string& playerName, ContactReport::Sink sink = {},
                           const std::string& busAddress = {});
    ~MprisFollower() override;
    MprisFollower(const MprisFollower&) = delete;
    MprisFollower& operator=(const MprisFollower&) = delete;

    void update(int64_t nowMillis) override;
    const PlayerState& state() const override { return state_; }

private:
    LatestState latest_;
    PlayerState state_;  // the frame thread's
    std::atomic<bool> stopping_ = false;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

} // namespace tessaranth::host
