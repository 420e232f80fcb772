// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/DemoPlaylist.h"

namespace tessaranth::host {

namespace {

constexpr DemoTrack tracks[] = {
    {"Kestrel Fold", "Morning Over Harrow Sands", "/music/demo/01 Morning Over Harrow Sands.mp3", 245, 192, 44100, 2, 112, 57, false},
    {"The Amberlight Quartet", "Paper Lanterns", "/music/demo/02 Paper Lanterns.mp3", 132, 64, 22050, 1, 84, 62, true},
    {"Miro Vantelle", "Glass Harbour", "/music/demo/03 Glass Harbour.mp3", 198, 320, 48000, 2, 124, 60, false},
    {"Oskarine", "Velvet Circuit", "/music/demo/04 Velvet Circuit.mp3", 221, 128, 44100, 2, 128, 53, true},
    {"Nadir and the Pale Moths", "Slow Carousel", "/music/demo/05 Slow Carousel.mp3", 305, 256, 44100, 2, 76, 55, false},
    {"Tidewright", "Copper Sky", "/music/demo/06 Copper Sky.mp3", 187, 96, 32000, 2, 100, 64, false},
    {"Lumen Drift", "Signals From A Quiet Room", "/music/demo/07 Signals From A Quiet Room.mp3", 264, 320, 48000, 2, 92, 50, true},
    {"Halvard Storm", "North Window", "/music/demo/08 North Window.wav", 176, 1411, 44100, 2, 118, 59, true},
    {"Quillon", "Interlude", "/music/demo/09 Interlude.mp3", 12, 160, 44100, 2, 96, 62, false},
    {"Saffron Static", "Neon Orchard", "/music/demo/10 Neon Orchard.mp3", 233, 224, 48000, 2, 134, 58, false},
    {"Bellweather Youth", "Last Tram Home", "/music/demo/11 Last Tram Home.mp3", 201, 128, 44100, 2, 108, 52, true},
    {"Ivo Castellane", "Evening Ledger", "/music/demo/12 Evening Ledger.mp3", 289, 192, 44100, 2, 88, 56, false},
};

} // namespace

std::span<const DemoTrack> demoPlaylist() { return tracks; }

} // namespace tessaranth::host
