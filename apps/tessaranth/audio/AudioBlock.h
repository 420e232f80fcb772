// SPDX-License-Identifier: GPL-2.0-or-later
// The most recent stretch of audio a player has sent to its output: 576 samples per channel,
// oldest first, 16-bit signed.
#pragma once

#include <array>
#include <cstdint>

namespace tessaranth::host {

constexpr std::size_t audioBlockFrames = 576;

struct AudioBlock {
    int32_t sampleRate = 44100;
    int32_t channels = 2;
    std::array<std::array<int16_t, audioBlockFrames>, 2> samples{};

    void silence() {
        for (auto& channel : samples) channel.fill(0);
    }
};

} // namespace tessaranth::host
