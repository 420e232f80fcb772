// SPDX-License-Identifier: GPL-2.0-or-later
// The demo player's playlist: a dozen made-up songs with everything a player reports about a
// song, and what the synthesiser needs to play it.
#pragma once

#include <cstdint>
#include <span>

namespace tessaranth::host {

struct DemoTrack {
    const char* artist;
    const char* title;
    const char* fileName;
    int32_t lengthSeconds;
    int32_t bitrate;     // kbit/s
    int32_t sampleRate;  // Hz
    int32_t channels;
    int32_t tempo;       // beats per minute
    int32_t rootNote;    // MIDI note of the key
    bool minor;
};

std::span<const DemoTrack> demoPlaylist();

} // namespace tessaranth::host
