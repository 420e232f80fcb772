// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/DemoPlayer.h"

#include "players/Synthesizer.h"

#include <algorithm>
#include <limits>

namespace tessaranth::host {

DemoPlayer::DemoPlayer(std::span<const ScheduledAction> schedule, int32_t roundMillis)
    : schedule_(schedule), roundMillis_(roundMillis) {
    for (const DemoTrack& t : demoPlaylist()) state_.playlist.push_back({t.artist, t.title, t.fileName});
    changeTrack(0);
    update(0);
}

const DemoTrack& DemoPlayer::track() const { return demoPlaylist()[static_cast<std::size_t>(state_.current)]; }

int64_t DemoPlayer::nextActionMillis() const {
    if (schedule_.empty()) return std::numeric_limits<int64_t>::max();
    return round_ * roundMillis_ + schedule_[nextAction_].atMillis;
}

void DemoPlayer::update(int64_t nowMillis) {
    for (;;) {
        const int64_t action = nextActionMillis();
        const int64_t songEnd = state_.playState == PlayState::playing
                                    ? clock_ + (trackMillis() - state_.positionMillis)
                                    : std::numeric_limits<int64_t>::max();
        const int64_t step = std::min({action, songEnd, nowMillis});
        if (step < clock_) return;
        advance(step - clock_);
        if (step == songEnd) {
            songEnded();
        } else if (step == action) {
            apply(schedule_[nextAction_].action);
            if (++nextAction_ == schedule_.size()) {
                nextAction_ = 0;
                ++round_;
            }
        } else {
            return;
        }
    }
}

void DemoPlayer::advance(int64_t millis) {
    clock_ += millis;
    if (state_.playState == PlayState::playing)
        state_.positionMillis = static_cast<int32_t>(std::min<int64_t>(state_.positionMillis + millis, trackMillis()));
}

void DemoPlayer::apply(DemoAction action) {
    switch (action) {
    case DemoAction::play:
        if (state_.playState == PlayState::stopped) state_.positionMillis = 0;
        state_.playState = PlayState::playing;
        break;
    case DemoAction::pause:
        if (state_.playState == PlayState::playing) state_.playState = PlayState::paused;
        break;
    case DemoAction::stop:
        state_.playState = PlayState::stopped;
        state_.positionMillis = 0;
        break;
    case DemoAction::next: changeTrack(nextIndex()); break;
    case DemoAction::shuffleOn: state_.shuffle = true; break;
    case DemoAction::shuffleOff: state_.shuffle = false; break;
    case DemoAction::repeatOn: state_.repeat = true; break;
    case DemoAction::repeatOff: state_.repeat = false; break;
    case DemoAction::seekNearEnd:
        if (state_.playState != PlayState::stopped)
            state_.positionMillis = std::max(state_.positionMillis, trackMillis() - seekLeadMillis);
        break;
    }
}

// At the end of a song the next one starts; after the last song of the list playback stops,
// unless repeat is on or the order is shuffled.
void DemoPlayer::songEnded() {
    const bool last = state_.current + 1 == static_cast<int32_t>(state_.playlist.size());
    if (last && !state_.repeat && !state_.shuffle) {
        state_.playState = PlayState::stopped;
        state_.positionMillis = 0;
        return;
    }
    changeTrack(nextIndex());
}

int32_t DemoPlayer::nextIndex() {
    const auto count = static_cast<int32_t>(state_.playlist.size());
    if (!state_.shuffle) return (state_.current + 1) % count;
    const auto step = 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(count - 1));
    return (state_.current + step) % count;
}

void DemoPlayer::changeTrack(int32_t index) {
    state_.current = index;
    state_.positionMillis = 0;
    const DemoTrack& t = track();
    state_.lengthSeconds = t.lengthSeconds;
    state_.sampleRate = t.sampleRate;
    state_.bitrate = t.bitrate;
    state_.channels = t.channels;
}

uint32_t DemoPlayer::random() {
    randomState_ ^= randomState_ << 13;
    randomState_ ^= randomState_ >> 17;
    randomState_ ^= randomState_ << 5;
    return randomState_;
}

void DemoPlayer::audio(AudioBlock& block) {
    if (state_.playState != PlayState::playing) {
        block.sampleRate = track().sampleRate;
        block.channels = track().channels;
        block.silence();
        return;
    }
    const int64_t end = static_cast<int64_t>(state_.positionMillis) * track().sampleRate / 1000;
    Synthesizer::render(track(), end, block);
}

} // namespace tessaranth::host
