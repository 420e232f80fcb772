// SPDX-License-Identifier: GPL-2.0-or-later
// A player the host follows: its state as the window messages report it. Bringing it up to date
// never waits for the player.
#pragma once

#include "players/PlayerState.h"

#include <cstdint>

namespace tessaranth::host {

class PlayerSource {
public:
    virtual ~PlayerSource() = default;
    // Brings the state up to nowMillis, the milliseconds since the host started.
    virtual void update(int64_t nowMillis) = 0;
    virtual const PlayerState& state() const = 0;
};

} // namespace tessaranth::host
