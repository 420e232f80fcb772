// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/LatestState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessaranth::host {

namespace {

bool samePlaylist(const std::vector<PlaylistEntry>& a, const std::vector<PlaylistEntry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const PlaylistEntry& x, const PlaylistEntry& y) {
        return x.artist == y.artist && x.title == y.title && x.fileName == y.fileName;
    });
}

// A position in milliseconds within 0 and the end of the song, in the range of the player's
// answer: the end of a song near 2^31 seconds long lies far past it, as does any position of a
// song of unknown length played long enough.
int32_t positionWithin(double millis, int32_t lengthSeconds) {
    constexpr double longest = std::numeric_limits<int32_t>::max();
    const double end = lengthSeconds >= 0 ? std::min(lengthSeconds * 1000.0, longest) : longest;
    return static_cast<int32_t>(std::clamp(millis, 0.0, end));
}

} // namespace

void LatestState::publish(const Snapshot& snapshot) {
    const bool changed = !samePlaylist(crossed_, snapshot.state.playlist);
    std::vector<PlaylistEntry> crossing;
    if (changed) {
        crossed_ = snapshot.state.playlist;
        crossing = crossed_;
    }
    std::vector<PlaylistEntry> givenBack;  // freed here, once the lock is released
    const std::lock_guard lock(mutex_);
    PlayerState& offered = handOver_.snapshot.state;
    const bool untaken = handOver_.fresh && handOver_.newPlaylist;
    if (changed || !untaken) givenBack.swap(offered.playlist);
    if (changed) offered.playlist.swap(crossing);
    copyAllButPlaylist(snapshot.state, offered);
    handOver_.snapshot.positionTime = snapshot.positionTime;
    handOver_.snapshot.rate = snapshot.rate;
    handOver_.newPlaylist = changed || untaken;
    handOver_.fresh = true;
}

void LatestState::take(PlayerState& state) {
    const Snapshot& offered = handOver_.snapshot;
    if (handOver_.newPlaylist) state.playlist.swap(handOver_.snapshot.state.playlist);
    copyAllButPlaylist(offered.state, state);
    positionMillis_ = offered.state.positionMillis;
    positionTime_ = offered.positionTime;
    rate_ = offered.rate;
    handOver_.fresh = false;
    handOver_.newPlaylist = false;
    taken_ = true;
}

void LatestState::update(PlayerState& state, Clock::time_point now) {
    if (std::unique_lock lock(mutex_, std::try_to_lock); lock && handOver_.fresh) take(state);
    if (!taken_) return;
    double position = positionMillis_;
    if (state.playState == PlayState::playing) {
        const double moved = std::chrono::duration<double, std::milli>(now - positionTime_).count() * rate_;
        if (!std::isnan(moved)) position += moved;  // a rate that is no number moves nothing
    }
    state.positionMillis = positionWithin(position, state.lengthSeconds);
}

} // namespace tessaranth::host
