// SPDX-License-Identifier: GPL-2.0-or-later
// Text on the page controllers, which have no character layer: each character of code 32 or
// more becomes six column bytes, one blank column followed by its five font columns.
// Characters below 32 are skipped without taking a place.
#pragma once

#include "controllers/Fonts.h"

#include <cstdint>

namespace tessaranth {

constexpr int pageColumnsPerCell = 6;

// Calls emit(uint8_t) with every column byte of text, in order, up to the NUL or until emit
// returns false (the run has reached the right edge: a long text ends there, not at its NUL).
// The bytes are as the font holds them; a driver that inverts does so itself.
template <typename Emit>
void forEachTextColumn(const char* text, Emit&& emit) {
    if (!text) return;
    for (; *text; ++text) {
        if (static_cast<unsigned char>(*text) < fonts::firstCode) continue;
        if (!emit(uint8_t{0})) return;
        const uint8_t* glyph = fonts::columnGlyph(*text);
        for (int k = 0; k < fonts::columnGlyphColumns; ++k)
            if (!emit(glyph[k])) return;
    }
}

} // namespace tessaranth
