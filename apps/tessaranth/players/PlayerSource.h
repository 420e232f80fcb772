// A player the host follows: its state as the window messages report it, and the audio it is
// playing right now.
#pragma once

#include "audio/AudioBlock.h"
#include "players/PlayerState.h"

#include <cstdint>

namespace tessaranth::host {

class PlayerSource {
public:
    virtual ~PlayerSource() = default;
    // Brings the state up to nowMillis, the milliseconds since the host started.
    virtual void update(int64_t nowMillis) = 0;
    virtual const PlayerState& state() const = 0;
    // The latest 576 samples per channel; silence when nothing plays.
    virtual void audio(AudioBlock& block) = 0;
};

} // namespace tessaranth::host
