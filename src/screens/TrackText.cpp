// SPDX-License-Identifier: GPL-2.0-or-later
#include "screens/TrackText.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace tessaranth::tracktext {

namespace {

constexpr std::string_view hostSuffix = "- Winamp";
constexpr std::string_view artistSeparator = " - ";

// At most limit characters of a NUL-terminated text; a null text is empty.
std::string_view bounded(const char* text, std::size_t limit) {
    if (!text) return {};
    return {text, static_cast<std::size_t>(std::find(text, text + limit, '\0') - text)};
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The text before the last occurrence of the host suffix, trailing spaces removed.
std::string_view cutHostSuffix(std::string_view text) {
    const std::size_t at = text.rfind(hostSuffix);
    return at == std::string_view::npos ? text : trimRight(text.substr(0, at));
}

// The host writes the entry number, a dot and a space before the song.
std::string_view cutEntryNumber(std::string_view text) {
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || dot + 1 >= text.size()) return text;
    return text.substr(std::min(dot + 2, text.size()));
}

template <std::size_t N>
void copyBounded(char (&field)[N], std::string_view text) {
    const std::size_t n = std::min(text.size(), N - 1);
    std::copy_n(text.data(), n, field);  // an empty view may hold a null pointer
    field[n] = '\0';
}

// Formats into a scratch buffer wide enough for any value, then keeps what the field holds.
template <typename... Args>
void formatField(char (&text)[infoSize], const char* format, Args... args) {
    char wide[96];
    std::snprintf(wide, sizeof wide, format, args...);
    copyBounded(text, wide);
}

// In 64 bits, so that no difference of the player's values overflows.
void formatClock(char (&text)[infoSize], int64_t shown, int64_t length) {
    formatField(text, "%02" PRId64 ":%02" PRId64 "/%02" PRId64 ":%02" PRId64, shown / 60, shown % 60, length / 60,
                length % 60);
}

} // namespace

void parseWindowTitle(const char* windowTitle, char (&artist)[nameSize], char (&title)[nameSize]) {
    const std::string_view text = cutEntryNumber(cutHostSuffix(bounded(windowTitle, windowTitleSize - 1)));
    const std::size_t at = text.rfind(artistSeparator);
    if (at == std::string_view::npos) {
        copyBounded(artist, {});
        copyBounded(title, text);
        return;
    }
    const std::string_view artistText = trimRight(text.substr(0, at));
    copyBounded(artist, artistText);
    copyBounded(title, text.substr(artistText.size() + artistSeparator.size()));
}

void formatTime(char (&text)[infoSize], int32_t positionMillis, int32_t lengthSeconds, bool elapsed) {
    if (lengthSeconds == -1) {
        copyBounded(text, "--:--/--:--");
        return;
    }
    const int64_t played = positionMillis / 1000;
    formatClock(text, elapsed ? played : int64_t{lengthSeconds} - played, lengthSeconds);
}

void formatBitrate(char (&text)[infoSize], int32_t kbps) {
    if (kbps == 0)
        copyBounded(text, "---");
    else if (kbps <= 99)
        formatField(text, "%02" PRId32 "  ", kbps);
    else if (kbps <= 999)
        formatField(text, "%03" PRId32 " ", kbps);
    else
        formatField(text, "%04" PRId32, kbps);
}

void formatSamplerate(char (&text)[infoSize], int32_t rate) {
    if (rate == 0)
        copyBounded(text, "--");
    else
        formatField(text, "%02" PRId32, rate);
}

void formatChannels(char (&text)[infoSize], int32_t channels) {
    if (channels == 1) copyBounded(text, "Mono  ");
    if (channels == 2) copyBounded(text, "Stereo");
}

void formatTrack(char (&text)[infoSize], int32_t index, int32_t count, bool wide) {
    const int64_t number = int64_t{index} + 1;
    formatField(text, wide ? "%4" PRId64 "/%4" PRId32 : "%3" PRId64 "/%3" PRId32, number, count);
}

} // namespace tessaranth::tracktext
