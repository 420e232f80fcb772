// SPDX-License-Identifier: GPL-2.0-or-later
// The texts of the track fields, built from what the player reports. Every text is bounded by
// its field: title and artist hold at most 127 characters, the information texts at most 15.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaranth::tracktext {

constexpr std::size_t nameSize = 128;
constexpr std::size_t infoSize = 16;
constexpr std::size_t windowTitleSize = 256;

// Splits the player's window title into artist and song: the host suffix "- Winamp" and what
// follows it go, then the entry number up to its dot and the space after it, and the last
// " - " parts the artist from the song. A part that is not there leaves the text as it is.
void parseWindowTitle(const char* windowTitle, char (&artist)[nameSize], char (&title)[nameSize]);

// "mm:ss/mm:ss": elapsed or remaining time, then the length; "--:--/--:--" for an unknown length.
void formatTime(char (&text)[infoSize], int32_t positionMillis, int32_t lengthSeconds, bool elapsed);
// Always four characters for 1..9999 kbit/s; "---" for none.
void formatBitrate(char (&text)[infoSize], int32_t kbps);
void formatSamplerate(char (&text)[infoSize], int32_t rate);
// "Mono  " or "Stereo"; any other count leaves the text as it was.
void formatChannels(char (&text)[infoSize], int32_t channels);
// Entry number (from 1) and entry count, right-aligned in three or four places.
void formatTrack(char (&text)[infoSize], int32_t index, int32_t count, bool wide);

} // namespace tessaranth::tracktext
