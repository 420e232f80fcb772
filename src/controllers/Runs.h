// SPDX-License-Identifier: GPL-2.0-or-later
// Constant runs of graphic bytes, all lit or all dark, as long as a page driver can count.
#pragma once

#include <array>
#include <cstdint>

namespace tessaranth::runs {

constexpr int longest = 255;

constexpr std::array<uint8_t, longest> runOf(uint8_t value) {
    std::array<uint8_t, longest> run{};
    run.fill(value);
    return run;
}

inline constexpr std::array<uint8_t, longest> lit = runOf(0xFF);
inline constexpr std::array<uint8_t, longest> dark = runOf(0x00);

} // namespace tessaranth::runs
