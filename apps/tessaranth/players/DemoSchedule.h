// SPDX-License-Identifier: GPL-2.0-or-later
// What the demo player's user does, and when: a half-minute routine of play, pause, stop, next,
// shuffle, repeat and a seek towards a song's end, repeated for as long as the demo runs.
#pragma once

#include <cstdint>
#include <span>

namespace tessaranth::host {

enum class DemoAction { play, pause, stop, next, shuffleOn, shuffleOff, repeatOn, repeatOff, seekNearEnd };

struct ScheduledAction {
    int32_t atMillis;  // within one round
    DemoAction action;
};

constexpr int32_t demoRoundMillis = 30000;
// How far before its end a seek leaves the song.
constexpr int32_t seekLeadMillis = 3000;

// The actions of one round, in time order, all within 0..demoRoundMillis - 1.
std::span<const ScheduledAction> demoSchedule();

} // namespace tessaranth::host
