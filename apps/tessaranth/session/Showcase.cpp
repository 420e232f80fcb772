// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/Showcase.h"

#include "controllers/Fonts.h"
#include "emu/OneBitBitmap.h"
#include "settings/Settings.h"

#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

namespace tessaranth::host {

namespace {

// A T6963C 240x128: 40 text columns of 6 pixels, 16 text rows of 8.
constexpr uint8_t t6963c = 0;
constexpr uint8_t format240x128 = 3;
constexpr int width = 240;
constexpr int height = 128;
constexpr int cellWidth = 6;
constexpr int rowHeight = 8;

using Setter = void (Settings::*)(uint32_t);

// Title and artist on the top two rows (the two longer demo titles scroll), the time and the
// track number at their right ends; the numbers about the sound and the play status below.
struct TextField {
    Setter show, setX, setY;
    int column, row;
};
constexpr TextField textFields[] = {
    {&Settings::setShowTime, &Settings::setTimeX, &Settings::setTimeY, 29, 0},
    {&Settings::setShowTrack, &Settings::setTrackX, &Settings::setTrackY, 33, 1},
    {&Settings::setShowSamplerate, &Settings::setSamplerateX, &Settings::setSamplerateY, 0, 2},
    {&Settings::setShowBitrate, &Settings::setBitrateX, &Settings::setBitrateY, 8, 2},
    {&Settings::setShowTrackinfo, &Settings::setTrackinfoX, &Settings::setTrackinfoY, 19, 2},
    {&Settings::setShowStatus, &Settings::setStatusX, &Settings::setStatusY, 33, 2},
    {&Settings::setShowShuffle, &Settings::setShuffleX, &Settings::setShuffleY, 26, 15},
    {&Settings::setShowRepeat, &Settings::setRepeatX, &Settings::setRepeatY, 34, 15},
};
constexpr int titleColumns = 24;

// The units the background writes after the samplerate ("44") and the bitrate ("192 ").
struct Label {
    int column, row;
    std::string_view text;
};
constexpr Label labels[] = {{3, 2, "kHz"}, {12, 2, "kbps"}};

// Analyzer and scope side by side under the text, the playlist below them on the left and the
// VU meter on the right, above shuffle and repeat. Columns of 6 pixels, pixel rows.
struct GraphicArea {
    Setter show, setX, setY, setWidth, setHeight;
    int column, top, columns, rows;
};
constexpr GraphicArea analyzer{&Settings::setShowAnalyzer, &Settings::setAnalyzerX, &Settings::setAnalyzerY,
                               &Settings::setAnalyzerWidth, &Settings::setAnalyzerHeight, 0, 28, 20, 40};
constexpr GraphicArea scope{&Settings::setShowScope, &Settings::setScopeX, &Settings::setScopeY,
                            &Settings::setScopeWidth, &Settings::setScopeHeight, 21, 28, 19, 40};
constexpr GraphicArea vuMeter{&Settings::setShowVUMeter, &Settings::setVuMeterX, &Settings::setVuMeterY,
                              &Settings::setVuMeterWidth, &Settings::setVuMeterHeight, 26, 73, 14, 42};
constexpr GraphicArea graphicAreas[] = {analyzer, scope, vuMeter};

constexpr int playlistRow = 9;
constexpr int playlistColumns = 25;
constexpr int playlistLines = 7;
constexpr int currentLine = 3;

// The background's lines: across the display above and below the analyzer and the scope, and
// down between the areas that stand side by side.
constexpr int topRule = 25;
constexpr int middleRule = 70;
constexpr int analyzerScopeRule = 122;
constexpr int playlistMeterRule = 152;

void placeText(Settings& s, const TextField& field) {
    (s.*field.show)(1);
    (s.*field.setX)(static_cast<uint32_t>(field.column));
    (s.*field.setY)(static_cast<uint32_t>(field.row));
}

void placeGraphic(Settings& s, const GraphicArea& area) {
    (s.*area.show)(1);
    (s.*area.setX)(static_cast<uint32_t>(area.column));
    (s.*area.setY)(static_cast<uint32_t>(area.top));
    (s.*area.setWidth)(static_cast<uint32_t>(area.columns));
    (s.*area.setHeight)(static_cast<uint32_t>(area.rows));
}

void placeTitleAndArtist(Settings& s) {
    s.setShowTitle(1);
    s.setTitleX(0);
    s.setTitleY(0);
    s.setTitleLength(titleColumns);
    s.setScrollTitle(1);
    s.setShowArtist(1);
    s.setArtistX(0);
    s.setArtistY(1);
    s.setArtistLength(titleColumns);
    s.setScrollArtist(1);
    s.setScrollSpeed(1);
}

void placePlaylist(Settings& s) {
    s.setShowPlaylist(1);
    s.setPlaylistX(0);
    s.setPlaylistY(playlistRow);
    s.setPlaylistWidth(playlistColumns);
    s.setPlaylistHeight(playlistLines);
    s.setCurrentPosition(currentLine);
}

// Livelier than the defaults on areas this size: a taller analyzer with more sensitivity, a
// filled scope, and a meter that averages a few frames and keeps its needle off the end stop.
void tuneVisualisations(Settings& s) {
    s.setAnalyzerSens(1);
    s.setScopeType(1);
    s.setScopeSens(11);
    s.setVuMeterSens(3);
    s.setVuMeterRange(11);
}

bool onLabel(int x, int y) {
    for (const Label& label : labels) {
        const int column = x / cellWidth - label.column;
        if (y / rowHeight != label.row || column < 0 || column >= static_cast<int>(label.text.size())) continue;
        const uint8_t row = fonts::rowGlyph(label.text[static_cast<std::size_t>(column)])[y % rowHeight];
        return (row >> (cellWidth - 1 - x % cellWidth)) & 1;
    }
    return false;
}

bool lit(int x, int y) {
    const bool across = y == topRule || y == middleRule;
    const bool upper = x == analyzerScopeRule && y > topRule && y < middleRule;
    const bool lower = x == playlistMeterRule && y > middleRule;
    return across || upper || lower || onLabel(x, y);
}

} // namespace

void arrangeShowcase(Settings& s, const std::string& background) {
    s.setController(t6963c);
    s.setDisplayFormat(format240x128);
    s.setTimeType(1);
    placeTitleAndArtist(s);
    for (const TextField& field : textFields) placeText(s, field);
    for (const GraphicArea& area : graphicAreas) placeGraphic(s, area);
    placePlaylist(s);
    tuneVisualisations(s);
    if (!background.empty() && background.size() < sizeof(SettingsImage::background))
        s.setBackground(background.c_str());
}

bool writeShowcasePicture(const std::string& path) {
    const std::vector<uint8_t> bytes = emu::oneBitBitmap(width, height, lit);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

} // namespace tessaranth::host
