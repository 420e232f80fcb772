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

} // namespace

void LatestState::publish(Snapshot snapshot) {
    const bool sameList = lastPublished_ && samePlaylist(lastPublished_->snapshot.state.playlist, snapshot.state.playlist);
    const uint64_t playlistVersion = lastPublished_ ? lastPublished_->playlistVersion + (sameList ? 0 : 1) : 1;
    auto published = std::make_shared<const Published>(Published{std::move(snapshot), playlistVersion});
    lastPublished_ = published;
    const std::lock_guard lock(mutex_);
    latest_ = std::move(published);
    ++version_;
}

void LatestState::update(PlayerState& state, Clock::time_point now) {
    if (std::unique_lock lock(mutex_, std::try_to_lock); lock && version_ != seen_) {
        current_ = latest_;
        seen_ = version_;
    }
    if (!current_) return;
    const Snapshot& s = current_->snapshot;
    if (current_->playlistVersion != copiedPlaylist_) {
        state.playlist = s.state.playlist;
        copiedPlaylist_ = current_->playlistVersion;
    }
    state.current = s.state.current;
    state.playState = s.state.playState;
    state.lengthSeconds = s.state.lengthSeconds;
    state.sampleRate = s.state.sampleRate;
    state.bitrate = s.state.bitrate;
    state.channels = s.state.channels;
    state.shuffle = s.state.shuffle;
    state.repeat = s.state.repeat;
    double position = s.state.positionMillis;
    if (s.state.playState == PlayState::playing)
        position += std::chrono::duration<double, std::milli>(now - s.positionTime).count() * s.rate;
    const double end = s.state.lengthSeconds >= 0 ? s.state.lengthSeconds * 1000.0 : std::numeric_limits<int32_t>::max();
    state.positionMillis = static_cast<int32_t>(std::clamp(position, 0.0, end));
}

} // namespace tessaranth::host
