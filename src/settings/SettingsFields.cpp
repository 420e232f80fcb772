// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/SettingsFields.h"

#include "settings/Settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <string_view>

namespace tessaranth {

namespace {

#define TESSARANTH_FIELD(name, kind, member) \
    StoredField { name, FieldKind::kind, offsetof(SettingsImage, member), sizeof(SettingsImage::member) }
#define TESSARANTH_BUTTON(number) \
    StoredField { "Button " #number, FieldKind::dword, offsetof(SettingsImage, buttonFunction) + number - 1, 1 }

constexpr std::array<StoredField, registryFieldCount> fields = {
    TESSARANTH_FIELD("Update delay", dword, updateDelay),
    TESSARANTH_FIELD("Interface timing", dword, interfaceTiming),
    TESSARANTH_FIELD("Inverse", binary, inverse),
    TESSARANTH_FIELD("Time type", flag, timeType),
    TESSARANTH_FIELD("Auto sensing", binary, autoSensing),
    TESSARANTH_FIELD("Ext track support", binary, extTrackSupport),
    TESSARANTH_FIELD("Backlight", signedDword, backlight),
    TESSARANTH_FIELD("Track numbering", binary, trackNumbering),
    TESSARANTH_FIELD("Show splashscreen", binary, showSplashscreen),
    TESSARANTH_FIELD("Enable buttons", binary, enableButtons),
    TESSARANTH_FIELD("Scroll speed", dword, scrollSpeed),
    TESSARANTH_FIELD("Scroll title", binary, scrollTitle),
    TESSARANTH_FIELD("Scroll artist", binary, scrollArtist),
    TESSARANTH_FIELD("Font", dword, font),
    TESSARANTH_FIELD("Background", text, background),
    TESSARANTH_FIELD("Brightness", dword, brightness),
    TESSARANTH_FIELD("Current position", dword, currentPosition),
    TESSARANTH_FIELD("Show playlist", binary, showPlaylist),
    TESSARANTH_FIELD("Show analyzer", binary, showAnalyzer),
    TESSARANTH_FIELD("Show scope", binary, showScope),
    TESSARANTH_FIELD("Show modelengine", binary, showModelEngine),
    TESSARANTH_FIELD("Show VU meter", binary, showVUMeter),
    TESSARANTH_FIELD("Analyzer sens", dword, analyzerSens),
    TESSARANTH_FIELD("Non-linear analyzer", binary, nonLinearAnalyzer),
    TESSARANTH_FIELD("Stereo analyzer", binary, stereoAnalyzer),
    TESSARANTH_FIELD("Block analyzer", binary, blockAnalyzer),
    TESSARANTH_FIELD("Smooth analyzer", binary, smoothAnalyzer),
    TESSARANTH_FIELD("Falloff", dword, falloff),
    TESSARANTH_FIELD("Peak hold", dword, peakHold),
    TESSARANTH_FIELD("Analyzer type", dword, analyzerType),
    TESSARANTH_FIELD("Scope sens", dword, scopeSens),
    TESSARANTH_FIELD("Stereo scope", binary, stereoScope),
    TESSARANTH_FIELD("Block scope", binary, blockScope),
    TESSARANTH_FIELD("Smooth scope", binary, smoothScope),
    TESSARANTH_FIELD("Scope type", dword, scopeType),
    TESSARANTH_FIELD("VU meter sens", dword, vuMeterSens),
    TESSARANTH_FIELD("VU meter range", dword, vuMeterRange),
    TESSARANTH_FIELD("VU meter type", dword, vuMeterType),
    TESSARANTH_FIELD("Show title", binary, showTitle),
    TESSARANTH_FIELD("Show artist", binary, showArtist),
    TESSARANTH_FIELD("Show track", binary, showTrack),
    TESSARANTH_FIELD("Show time", binary, showTime),
    TESSARANTH_FIELD("Show samplerate", binary, showSamplerate),
    TESSARANTH_FIELD("Show bitrate", binary, showBitrate),
    TESSARANTH_FIELD("Show trackinfo", binary, showTrackinfo),
    TESSARANTH_FIELD("Show status", binary, showStatus),
    TESSARANTH_FIELD("Show repeat", binary, showRepeat),
    TESSARANTH_FIELD("Show shuffle", binary, showShuffle),
    TESSARANTH_FIELD("Title XY", dword, titleXY),
    TESSARANTH_FIELD("Artist XY", dword, artistXY),
    TESSARANTH_FIELD("Track XY", dword, trackXY),
    TESSARANTH_FIELD("Time XY", dword, timeXY),
    TESSARANTH_FIELD("Samplerate XY", dword, samplerateXY),
    TESSARANTH_FIELD("Bitrate XY", dword, bitrateXY),
    TESSARANTH_FIELD("Trackinfo XY", dword, trackinfoXY),
    TESSARANTH_FIELD("Status XY", dword, statusXY),
    TESSARANTH_FIELD("Shuffle XY", dword, shuffleXY),
    TESSARANTH_FIELD("Repeat XY", dword, repeatXY),
    TESSARANTH_FIELD("Title length", dword, titleLength),
    TESSARANTH_FIELD("Artist length", dword, artistLength),
    TESSARANTH_FIELD("Realtime update", binary, realtimeUpdate),
    TESSARANTH_FIELD("Playlist height", dword, playlistHeight),
    TESSARANTH_FIELD("Playlist width", dword, playlistWidth),
    TESSARANTH_FIELD("Playlist XY", dword, playlistXY),
    TESSARANTH_FIELD("Analyzer height", dword, analyzerHeight),
    TESSARANTH_FIELD("Analyzer width", dword, analyzerWidth),
    TESSARANTH_FIELD("Analyzer XY", dword, analyzerXY),
    TESSARANTH_FIELD("Scope height", dword, scopeHeight),
    TESSARANTH_FIELD("Scope width", dword, scopeWidth),
    TESSARANTH_FIELD("Scope XY", dword, scopeXY),
    TESSARANTH_FIELD("Modelengine height", dword, modelEngineHeight),
    TESSARANTH_FIELD("Modelengine width", dword, modelEngineWidth),
    TESSARANTH_FIELD("Modelengine XY", dword, modelEngineXY),
    TESSARANTH_FIELD("VU meter height", dword, vuMeterHeight),
    TESSARANTH_FIELD("VU meter width", dword, vuMeterWidth),
    TESSARANTH_FIELD("VU meter XY", dword, vuMeterXY),
    TESSARANTH_FIELD("LPT address", dword, lptAddress),
    TESSARANTH_FIELD("Controller", dword, controller),
    TESSARANTH_FIELD("API", dword, api),
    TESSARANTH_FIELD("Display format", dword, displayFormat),
    TESSARANTH_FIELD("Chip select", dword, wiringCS),
    TESSARANTH_FIELD("Command select", dword, wiringA0),
    TESSARANTH_FIELD("Write", dword, wiringWR),
    TESSARANTH_FIELD("Read", dword, wiringRD),
    TESSARANTH_FIELD("Reset", dword, wiringReset),
    TESSARANTH_FIELD("Button wiring", dword, buttonWiring),
    TESSARANTH_BUTTON(1),  TESSARANTH_BUTTON(2),  TESSARANTH_BUTTON(3),  TESSARANTH_BUTTON(4),
    TESSARANTH_BUTTON(5),  TESSARANTH_BUTTON(6),  TESSARANTH_BUTTON(7),  TESSARANTH_BUTTON(8),
    TESSARANTH_BUTTON(9),  TESSARANTH_BUTTON(10), TESSARANTH_BUTTON(11), TESSARANTH_BUTTON(12),
    TESSARANTH_BUTTON(13), TESSARANTH_BUTTON(14), TESSARANTH_BUTTON(15), TESSARANTH_BUTTON(16),
};

#undef TESSARANTH_FIELD
#undef TESSARANTH_BUTTON

static_assert(std::none_of(fields.begin(), fields.end(), [](const StoredField& f) { return f.name == nullptr; }),
              "one entry per registry value");

using Order = std::array<uint8_t, registryFieldCount>;

constexpr std::size_t positionOf(const Order& order, std::string_view name) {
    std::size_t position = 0;
    while (name != fields[order[position]].name) ++position;
    return position;
}

// Moves the named value to just before (or just after) the anchor.
constexpr void move(Order& order, std::string_view name, std::string_view anchor, bool after) {
    const std::size_t from = positionOf(order, name);
    const std::size_t to = positionOf(order, anchor);
    if (from > to)
        std::rotate(order.begin() + to + (after ? 1 : 0), order.begin() + from, order.begin() + from + 1);
    else
        std::rotate(order.begin() + from, order.begin() + from + 1, order.begin() + to + (after ? 1 : 0));
}

// A load reads in save order except for three values.
constexpr Order loadOrder = [] {
    Order order{};
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint8_t>(i);
    move(order, "Enable buttons", "Show splashscreen", false);
    move(order, "Show playlist", "Show modelengine", true);
    move(order, "Repeat XY", "Shuffle XY", false);
    return order;
}();

// For every offset of the image: the width of the numeric field that starts there, 1 for a
// byte of its own, 0 inside a wider field.
constexpr std::array<uint8_t, settingsImageSize> accessWidths = [] {
    std::array<uint8_t, settingsImageSize> widths{};
    widths.fill(1);
    for (const StoredField& field : fields) {
        if (field.kind == FieldKind::text) continue;
        for (uint8_t i = 0; i < field.width; ++i) widths[field.offset + i] = i == 0 ? field.width : 0;
    }
    return widths;
}();

template <class T>
T& at(SettingsImage& image, std::size_t offset) {
    return *reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(&image) + offset);
}

template <class T>
const T& at(const SettingsImage& image, std::size_t offset) {
    return *reinterpret_cast<const T*>(reinterpret_cast<const unsigned char*>(&image) + offset);
}

uint32_t loadAt(const SettingsImage& image, std::size_t offset, uint8_t width) {
    switch (width) {
    case 4: return relaxedLoad(at<uint32_t>(image, offset));
    case 2: return relaxedLoad(at<uint16_t>(image, offset));
    default: return relaxedLoad(at<unsigned char>(image, offset));
    }
}

void storeAt(SettingsImage& image, std::size_t offset, uint8_t width, uint32_t value) {
    switch (width) {
    case 4: return relaxedStore(at<uint32_t>(image, offset), value);
    case 2: return relaxedStore(at<uint16_t>(image, offset), static_cast<uint16_t>(value));
    default: return relaxedStore(at<unsigned char>(image, offset), static_cast<unsigned char>(value));
    }
}

} // namespace

std::span<const StoredField, registryFieldCount> registryFields() { return fields; }

std::span<const uint8_t, registryFieldCount> registryLoadOrder() { return loadOrder; }

uint32_t loadField(const SettingsImage& image, const StoredField& field) {
    return loadAt(image, field.offset, field.width);
}

void storeField(SettingsImage& image, const StoredField& field, uint32_t value) {
    storeAt(image, field.offset, field.width, value);
}

char* textField(SettingsImage& image, const StoredField& field) { return &at<char>(image, field.offset); }

void copyImage(SettingsImage& destination, const SettingsImage& source) {
    for (std::size_t offset = 0; offset < settingsImageSize; offset += accessWidths[offset])
        storeAt(destination, offset, accessWidths[offset], loadAt(source, offset, accessWidths[offset]));
}

std::optional<int64_t> settingNumber(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex) text.remove_prefix(2);
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, hex ? 16 : 10);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (magnitude > uint64_t{INT64_MAX}) return std::nullopt;
    const auto value = static_cast<int64_t>(magnitude);
    return negative ? -value : value;
}

} // namespace tessaranth
