// SPDX-License-Identifier: GPL-2.0-or-later
// Where the sound for the visualisations comes from: a frame asks for the latest 576 samples per
// channel and gets them at once, whatever the source is doing.
#pragma once

#include "audio/AudioBlock.h"

namespace tessaranth::host {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // The latest audio; silence when the followed player is not playing or nothing is heard.
    // Never waits.
    virtual void fill(AudioBlock& block, bool playing) = 0;
};

// --audio none.
class SilentAudio : public AudioSource {
public:
    void fill(AudioBlock& block, bool) override { block.silence(); }
};

} // namespace tessaranth::host
