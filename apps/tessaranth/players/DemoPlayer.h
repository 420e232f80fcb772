// SPDX-License-Identifier: GPL-2.0-or-later
// The built-in player: plays the demo playlist by the demo schedule on the host's clock, and
// synthesises what it plays, so it is its own audio source too.
#pragma once

#include "audio/AudioSource.h"
#include "players/DemoPlaylist.h"
#include "players/DemoSchedule.h"
#include "players/PlayerSource.h"

#include <cstdint>
#include <span>

namespace tessaranth::host {

class DemoPlayer : public PlayerSource, public AudioSource {
public:
    // schedule: actions in time order within one round of roundMillis.
    explicit DemoPlayer(std::span<const ScheduledAction> schedule = demoSchedule(),
                        int32_t roundMillis = demoRoundMillis);

    // Runs the player up to nowMillis since the start, applying every scheduled action and every
    // song end on the way, in order. Time never runs backwards: earlier times are ignored.
    void update(int64_t nowMillis) override;
    const PlayerState& state() const override { return state_; }
    // The sound at the current position; silence while paused or stopped.
    void audio(AudioBlock& block);
    void fill(AudioBlock& block, bool) override { audio(block); }

    void apply(DemoAction action);

private:
    const DemoTrack& track() const;
    int32_t trackMillis() const { return track().lengthSeconds * 1000; }
    int64_t nextActionMillis() const;
    void advance(int64_t millis);
    void changeTrack(int32_t index);
    void songEnded();
    int32_t nextIndex();
    uint32_t random();

    std::span<const ScheduledAction> schedule_;
    int32_t roundMillis_;
    PlayerState state_;
    int64_t clock_ = 0;
    int64_t round_ = 0;
    std::size_t nextAction_ = 0;
    uint32_t randomState_ = 0x2545F491u;
};

} // namespace tessaranth::host
