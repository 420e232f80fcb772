// SPDX-License-Identifier: GPL-2.0-or-later
// What the player fuzz targets share: the checks every PlayerState a player source makes must
// pass, and a running plug-in that reads such a state through the host's player window.
#pragma once

#include "players/PlayerState.h"

namespace tessaranth::fuzz {

// Traps unless every text is printable ASCII of at most 255 characters and the numbers are in
// the ranges the player window relies on (a current index outside the playlist is one it copes with).
void checkPlayerState(const host::PlayerState& state);

// Init, `frames` frames and Quit of the plug-in with every track field and the playlist shown,
// the player window answering from the state.
void showPlayerState(const host::PlayerState& state, int frames);

} // namespace tessaranth::fuzz
