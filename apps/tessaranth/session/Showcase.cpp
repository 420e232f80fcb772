// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/Showcase.h"

#include "controllers/ControllerTable.h"
#include "controllers/Fonts.h"
#include "emu/OneBitBitmap.h"
#include "geometry/DisplayFormat.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <span>
#include <string_view>
#include <vector>

namespace tessaranth::host {

namespace {

// Text cells of 6 pixels across and 8 down, on every controller.
constexpr int cellWidth = 6;
constexpr int rowHeight = 8;

using Setter = void (Settings::*)(uint32_t);

// The text fields placed beside the title and the artist.
enum Text { time, track, samplerate, bitrate, trackinfo, status, shuffle, repeat, textCount };
struct TextSetters {
    Setter show, setX, setY;
};
constexpr std::array<TextSetters, textCount> textSetters{{
    {&Settings::setShowTime, &Settings::setTimeX, &Settings::setTimeY},
    {&Settings::setShowTrack, &Settings::setTrackX, &Settings::setTrackY},
    {&Settings::setShowSamplerate, &Settings::setSamplerateX, &Settings::setSamplerateY},
    {&Settings::setShowBitrate, &Settings::setBitrateX, &Settings::setBitrateY},
    {&Settings::setShowTrackinfo, &Settings::setTrackinfoX, &Settings::setTrackinfoY},
    {&Settings::setShowStatus, &Settings::setStatusX, &Settings::setStatusY},
    {&Settings::setShowShuffle, &Settings::setShuffleX, &Settings::setShuffleY},
    {&Settings::setShowRepeat, &Settings::setRepeatX, &Settings::setRepeatY},
}};

// A cell, or none (the field is not shown).
struct Cell {
    int column = -1, row = -1;
    bool shown() const { return column >= 0; }
};

enum Graphic { analyzer, scope, vuMeter, graphicCount };
struct GraphicSetters {
    Setter show, setX, setY, setWidth, setHeight;
};
constexpr std::array<GraphicSetters, graphicCount> graphicSetters{{
    {&Settings::setShowAnalyzer, &Settings::setAnalyzerX, &Settings::setAnalyzerY, &Settings::setAnalyzerWidth,
     &Settings::setAnalyzerHeight},
    {&Settings::setShowScope, &Settings::setScopeX, &Settings::setScopeY, &Settings::setScopeWidth,
     &Settings::setScopeHeight},
    {&Settings::setShowVUMeter, &Settings::setVuMeterX, &Settings::setVuMeterY, &Settings::setVuMeterWidth,
     &Settings::setVuMeterHeight},
}};

// Columns of cells across, pixel rows down; no columns: not shown.
struct Area {
    int column = 0, top = 0, columns = 0, rows = 0;
};

// The units the background writes after the samplerate ("44") and the bitrate ("192 ").
struct Label {
    int column, row;
    std::string_view text;
};

// A line of the background, across or down, from x, y for length pixels.
struct Rule {
    int x, y, length;
    bool across;
};

struct Playlist {
    int row = 0, columns = 0, lines = 0, current = 0;  // no columns: not shown
};

struct Layout {
    int width, height;
    int titleColumns, artistColumns;  // the title on row 0, the artist on row 1 (none: not shown)
    std::array<Cell, textCount> texts;
    std::array<Area, graphicCount> areas;
    Playlist playlist;
    std::span<const Label> labels;
    std::span<const Rule> rules;
};

constexpr Label wideLabels[] = {{3, 2, "kHz"}, {12, 2, "kbps"}};
constexpr Label longLabels[] = {{3, 2, "kHz"}, {11, 2, "kbps"}};

// Lines across above and below the analyzer and the scope, and down between the areas that
// stand side by side. A page controller's visualisations write whole 8-row pages, so on the
// smaller displays the areas start at the page under the text and only lines down part them.
constexpr Rule wideRules[] = {{0, 25, 240, true}, {0, 70, 240, true}, {122, 26, 44, false}, {152, 71, 57, false}};
constexpr Rule longRules[] = {{86, 24, 40, false}, {170, 24, 40, false}};
constexpr Rule squareRules[] = {{38, 24, 40, false}, {80, 24, 40, false}};
constexpr Rule flatRules[] = {{63, 16, 16, false}};

// Largest first: the first that fits the display is taken.
const Layout layouts[] = {
    // 240x128: title and artist with the time and the track at their right ends, the numbers
    // about the sound and the play status below; analyzer and scope side by side, the playlist
    // below them on the left and the VU meter on the right, above shuffle and repeat.
    {240, 128, 24, 24,
     {{{29, 0}, {33, 1}, {0, 2}, {8, 2}, {19, 2}, {33, 2}, {26, 15}, {34, 15}}},
     {{{0, 28, 20, 40}, {21, 28, 19, 40}, {26, 73, 14, 42}}},
     {9, 25, 7, 3},
     wideLabels,
     wideRules},
    // 256x64: every field on three rows, the three visualisations side by side below.
    {256, 64, 30, 23,
     {{{31, 0}, {24, 1}, {0, 2}, {7, 2}, {16, 2}, {35, 1}, {24, 2}, {32, 2}}},
     {{{0, 24, 14, 40}, {15, 24, 13, 40}, {29, 24, 13, 40}}},
     {},
     longLabels,
     longRules},
    // 128x64: title, artist, the time and the play status; the three visualisations below.
    {128, 64, 21, 21,
     {{{0, 2}, {}, {}, {}, {}, {14, 2}, {}, {}}},
     {{{0, 24, 6, 40}, {7, 24, 6, 40}, {14, 24, 7, 40}}},
     {},
     {},
     squareRules},
    // 128x32: the title, the time and the play status; the analyzer and the scope below.
    {128, 32, 21, 0,
     {{{0, 1}, {}, {}, {}, {}, {14, 1}, {}, {}}},
     {{{0, 16, 10, 16}, {11, 16, 10, 16}, {}}},
     {},
     {},
     flatRules},
};

const Layout& layoutFor(uint8_t displayFormat) {
    const DisplaySize size = displaySize(displayFormat);
    for (const Layout& layout : layouts)
        if (layout.width <= size.width && layout.height <= size.height) return layout;
    return layouts[std::size(layouts) - 1];
}

void placeText(Settings& s, const TextSetters& field, Cell cell) {
    (s.*field.show)(cell.shown() ? 1 : 0);
    if (!cell.shown()) return;
    (s.*field.setX)(static_cast<uint32_t>(cell.column));
    (s.*field.setY)(static_cast<uint32_t>(cell.row));
}

void placeGraphic(Settings& s, const GraphicSetters& setters, const Area& area) {
    (s.*setters.show)(area.columns > 0 ? 1 : 0);
    if (area.columns == 0) return;
    (s.*setters.setX)(static_cast<uint32_t>(area.column));
    (s.*setters.setY)(static_cast<uint32_t>(area.top));
    (s.*setters.setWidth)(static_cast<uint32_t>(area.columns));
    (s.*setters.setHeight)(static_cast<uint32_t>(area.rows));
}

void placeTitleAndArtist(Settings& s, const Layout& layout) {
    s.setShowTitle(1);
    s.setTitleX(0);
    s.setTitleY(0);
    s.setTitleLength(static_cast<uint32_t>(layout.titleColumns));
    s.setScrollTitle(1);
    s.setShowArtist(layout.artistColumns > 0 ? 1 : 0);
    s.setArtistX(0);
    s.setArtistY(1);
    s.setArtistLength(static_cast<uint32_t>(layout.artistColumns));
    s.setScrollArtist(1);
    s.setScrollSpeed(1);
}

void placePlaylist(Settings& s, const Playlist& playlist) {
    s.setShowPlaylist(playlist.columns > 0 ? 1 : 0);
    if (playlist.columns == 0) return;
    s.setPlaylistX(0);
    s.setPlaylistY(static_cast<uint32_t>(playlist.row));
    s.setPlaylistWidth(static_cast<uint32_t>(playlist.columns));
    s.setPlaylistHeight(static_cast<uint32_t>(playlist.lines));
    s.setCurrentPosition(static_cast<uint32_t>(playlist.current));
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

bool onLabel(const Layout& layout, int x, int y) {
    for (const Label& label : layout.labels) {
        const int column = x / cellWidth - label.column;
        if (y / rowHeight != label.row || column < 0 || column >= static_cast<int>(label.text.size())) continue;
        const uint8_t row = fonts::rowGlyph(label.text[static_cast<std::size_t>(column)])[y % rowHeight];
        return (row >> (cellWidth - 1 - x % cellWidth)) & 1;
    }
    return false;
}

bool onRule(const Layout& layout, int x, int y) {
    for (const Rule& rule : layout.rules) {
        const int along = rule.across ? x - rule.x : y - rule.y;
        const bool onLine = rule.across ? y == rule.y : x == rule.x;
        if (onLine && along >= 0 && along < rule.length) return true;
    }
    return false;
}

// The width of the bitmap the plug-in reads for a display: its own, but on a page controller
// 128 pixels wide, whose reader takes rows of 16 pixel bytes and 4 more (a 160-pixel bitmap).
int pictureWidth(uint8_t controller, int width) {
    const ControllerRow* row = findController(controller);
    return row && row->family == ControllerFamily::pages && width == 128 ? 160 : width;
}

} // namespace

void arrangeShowcase(Settings& s, const std::string& background, ShowcaseDisplay display) {
    const Layout& layout = layoutFor(display.displayFormat);
    s.setController(display.controller);
    s.setDisplayFormat(display.displayFormat);
    s.setTimeType(1);
    s.setShowModelEngine(0);
    placeTitleAndArtist(s, layout);
    for (std::size_t i = 0; i < textCount; ++i) placeText(s, textSetters[i], layout.texts[i]);
    for (std::size_t i = 0; i < graphicCount; ++i) placeGraphic(s, graphicSetters[i], layout.areas[i]);
    placePlaylist(s, layout.playlist);
    tuneVisualisations(s);
    if (!background.empty() && background.size() < sizeof(SettingsImage::background))
        s.setBackground(background.c_str());
}

bool writeShowcasePicture(const std::string& path, ShowcaseDisplay display) {
    const Layout& layout = layoutFor(display.displayFormat);
    const DisplaySize size = displaySize(display.displayFormat);
    const std::vector<uint8_t> bytes =
        emu::oneBitBitmap(pictureWidth(display.controller, size.width), size.height,
                          [&layout](int x, int y) { return onRule(layout, x, y) || onLabel(layout, x, y); });
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

} // namespace tessaranth::host
