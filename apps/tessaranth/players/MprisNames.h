// SPDX-License-Identifier: GPL-2.0-or-later
// The names MPRIS players and the message bus go by.
#pragma once

#include <string_view>

namespace tessaranth::host::mpris {

inline constexpr std::string_view namePrefix = "org.mpris.MediaPlayer2.";
inline constexpr std::string_view objectPath = "/org/mpris/MediaPlayer2";
inline constexpr std::string_view rootInterface = "org.mpris.MediaPlayer2";
inline constexpr std::string_view playerInterface = "org.mpris.MediaPlayer2.Player";
inline constexpr std::string_view trackListInterface = "org.mpris.MediaPlayer2.TrackList";
inline constexpr std::string_view propertiesInterface = "org.freedesktop.DBus.Properties";
inline constexpr std::string_view busName = "org.freedesktop.DBus";
inline constexpr std::string_view busPath = "/org/freedesktop/DBus";

} // namespace tessaranth::host::mpris
