// SPDX-License-Identifier: GPL-2.0-or-later
// Texts from a player made fit for the display: players speak UTF-8 of any length, the display's
// fonts know only printable ASCII (codes past 127 are its bar glyphs), so every character becomes
// one or two ASCII characters and the text is cut to a length the plug-in's fields can take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaranth::host {

// The longest text a player source passes on; the window title holds at most 255 characters.
constexpr std::size_t longestTrackText = 255;

// Letters with accents lose them (e -> e, ss for the sharp s), typographic quotes and dashes
// become their ASCII kin, control characters become spaces and anything else, including bytes
// that are no UTF-8, a question mark. At most `limit` characters.
std::string displayText(std::string_view utf8, std::size_t limit = longestTrackText);

// The local path of a file:// URL, percent escapes decoded, as displayText; any other URL as
// displayText of the URL itself.
std::string pathOfUrl(std::string_view url);

// What follows the last '/' of a path.
std::string_view fileNameOf(std::string_view path);

} // namespace tessaranth::host
