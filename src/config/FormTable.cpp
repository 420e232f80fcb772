// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/FormTable.h"

#include "config/TConfigForm.h"
#include "config/WiringTable.h"
#include "controllers/ControllerTable.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tessaranth {

namespace {

// Field bindings: the fill's read and the plain store of a control.
#define TESSARANTH_FIELD(get, set)                                      \
    +[](const Settings& s) -> int32_t { return s.get(); },              \
    +[](Settings& s, int32_t v) { s.set(static_cast<uint32_t>(v)); }
#define TESSARANTH_COLUMN(get, set)                                     \
    +[](const Settings& s) -> int32_t { return s.get() >> 8; },         \
    +[](Settings& s, int32_t v) { s.set(static_cast<uint32_t>(v)); }
#define TESSARANTH_LINE(get, set)                                       \
    +[](const Settings& s) -> int32_t { return s.get() & 0xFF; },       \
    +[](Settings& s, int32_t v) { s.set(static_cast<uint32_t>(v)); }

enum Page : int8_t { misc, analyzerScope, id3, hardware, about, wiring, buttons, layout, modelEngineVu, layout2 };

constexpr const char* pageTitles[] = {"Misc..",       "Analyzer / Scope", "ID3 tag info", "Hardware settings",
                                      "About",        "Wiring",           "Button setup", "Layout",
                                      "Modelengine / VU meter", "Layout 2"};
static_assert(std::size(pageTitles) == pageCount);

constexpr const char* brightnessItems[] = {"100%", "  94%", "  87%", "  81%", "  75%", "  69%", "  62%", "  56%",
                                           "  50%", "  44%", "  37%", "  31%", "  25%", "  19%", "  12%", "    6%"};
constexpr const char* fontItems[] = {"tryout", "Toshiba CG ROM type 0101", "Kolvy custom", "SED1330"};
constexpr const char* apiItems[] = {"Direct I/O", "DLPortIO"};
constexpr const char* portItems[] = {"0x378   (LPT1)", "0x278   (LPT2)", "0x3BC   (LPT3)", "0x2BC   (LPT4)"};
constexpr const char* sizeItems[] = {"128 x   64", "128 x 128", "240 x   64", "240 x 128", "256 x 128",
                                     "320 x 200",  "320 x 240", "192 x   64", "128 x   32", "256 x   32 (N/A)",
                                     "256 x   64"};
constexpr const char* functionItems[] = {
    "Play", "Stop", "Pauze / unpauze", "Next", "Previous", "Fast forward", "Fast rewind", "Fade and stop",
    "Raise volume", "Lower volume", "Toggle repeat", "Toggle shuffle", "Play audio CD", "Close Winamp",
    "----------------------------------------", "Start/stop visualisation", "Change analyzer",
    "Toggle fullscreen analyzer", "-----------------------------------------", "Show/hide menu", "Menu select",
    "Menu up", "Menu down"};
constexpr const char* buttonWiringItems[] = {"COM-Control"};
constexpr const char* busPresetItems[] = {"select preset...", "Raspberry Pi header defaults"};
constexpr const char* vuTypeItems[] = {"Mono analog VU-meter", "Stereo analog VU-meter", "Mono VU-bar",
                                       "Stereo VU-bar"};

constexpr const char* aboutText =
    "This is a beta release. Some parts are still being built: the model engine is being rewritten, "
    "button support is not available yet and the HD61830 controller is not supported.\r\n\r\n"
    "Changes take effect at once; controller, display size, port address and wiring at the next "
    "start. \"Save settings\" or \"Save to file\" keeps them.";

constexpr ControlSpec label(const char* caption, int8_t page, ControlRect rect, std::string_view name = {}) {
    return {.name = name, .kind = ControlKind::label, .caption = caption, .page = page, .rect = rect};
}

constexpr ControlSpec group(const char* caption, int8_t page, ControlRect rect) {
    return {.kind = ControlKind::group, .caption = caption, .page = page, .rect = rect};
}

constexpr ControlSpec check(std::string_view name, const char* caption, int8_t page, ControlRect rect, FieldRead read,
                            FieldWrite write, FormHandler handler = nullptr) {
    return {.name = name, .kind = ControlKind::checkBox, .caption = caption, .page = page, .rect = rect,
            .read = read, .write = write, .handler = handler};
}

constexpr ControlSpec number(std::string_view name, EditRule rule, int8_t page, ControlRect rect, FieldRead read,
                             FieldWrite write, FormHandler handler = nullptr) {
    return {.name = name, .kind = ControlKind::edit, .caption = "", .page = page, .rect = rect, .editRule = rule,
            .read = read, .write = write, .handler = handler};
}

constexpr ControlSpec choice(std::string_view name, ControlKind kind, std::span<const char* const> items, int8_t page,
                             ControlRect rect, FieldRead read, FieldWrite write, FormHandler handler = nullptr) {
    return {.name = name, .kind = kind, .caption = "", .items = items, .page = page, .rect = rect, .read = read,
            .write = write, .handler = handler};
}

constexpr ControlSpec slider(std::string_view name, int16_t minimum, int16_t maximum, int8_t page, ControlRect rect,
                             FieldRead read, FieldWrite write) {
    return {.name = name, .kind = ControlKind::slider, .caption = "", .page = page, .rect = rect, .minimum = minimum,
            .maximum = maximum, .read = read, .write = write};
}

constexpr ControlSpec button(std::string_view name, const char* caption, int8_t page, ControlRect rect,
                             FormHandler handler) {
    return {.name = name, .kind = ControlKind::button, .caption = caption, .page = page, .rect = rect,
            .handler = handler};
}

constexpr ControlSpec disabled(ControlSpec control) {
    control.enabled = false;
    return control;
}

constexpr ControlSpec hidden(ControlSpec control) {
    control.enabled = false;
    control.visible = false;
    return control;
}

constexpr ControlSpec invisible(ControlSpec control) {
    control.visible = false;
    return control;
}

constexpr ControlSpec withRule(ControlSpec control, CheckRule rule) {
    control.checkRule = rule;
    return control;
}

constexpr ControlSpec withText(ControlSpec control, const char* text) {
    control.caption = text;
    return control;
}

struct Builder {
    std::array<ControlSpec, 300> controls{};
    std::size_t count = 0;
    constexpr void add(const ControlSpec& control) { controls[count++] = control; }
};

// One row of the text fields: tick, column, line and the row's name.
struct TextFieldRow {
    std::string_view tick, column, line;
    const char* caption;
    FieldRead readShow;
    FieldWrite writeShow;
    FieldRead readColumn;
    FieldWrite writeColumn;
    FieldRead readLine;
    FieldWrite writeLine;
};

#define TESSARANTH_TEXT_ROW(Name, name, caption)                                                  \
    {"Show" #Name, #Name "X", #Name "Y", caption, TESSARANTH_FIELD(show##Name, setShow##Name),     \
     TESSARANTH_COLUMN(name##XY, set##Name##X), TESSARANTH_LINE(name##XY, set##Name##Y)}

constexpr TextFieldRow textFieldRows[] = {
    TESSARANTH_TEXT_ROW(Title, title, "Song title"),       TESSARANTH_TEXT_ROW(Artist, artist, "Song artist"),
    TESSARANTH_TEXT_ROW(Track, track, "Track number"),     TESSARANTH_TEXT_ROW(Time, time, "Playing time"),
    TESSARANTH_TEXT_ROW(Repeat, repeat, "Repeat"),         TESSARANTH_TEXT_ROW(Samplerate, samplerate, "Samplerate"),
    TESSARANTH_TEXT_ROW(Bitrate, bitrate, "Bitrate"),      TESSARANTH_TEXT_ROW(Trackinfo, trackinfo, "Mono/stereo"),
    TESSARANTH_TEXT_ROW(Status, status, "Play status"),    TESSARANTH_TEXT_ROW(Shuffle, shuffle, "Shuffle"),
};

#undef TESSARANTH_TEXT_ROW

// One area of the layout pages: a group with its column, line, width and height edits.
struct AreaGroup {
    const char* caption;
    std::string_view column, line, width, height;
    EditRule positionRule, sizeRule;
    FieldRead readColumn;
    FieldWrite writeColumn;
    FieldRead readLine;
    FieldWrite writeLine;
    FieldRead readWidth;
    FieldWrite writeWidth;
    FieldRead readHeight;
    FieldWrite writeHeight;
};

constexpr AreaGroup analyzerArea{" Analyzer ", "AnalyzerX", "AnalyzerY", "AnalyzerWidth", "AnalyzerHeight",
                                 EditRule::emptyZero, EditRule::emptyOne, TESSARANTH_COLUMN(analyzerXY, setAnalyzerX),
                                 TESSARANTH_LINE(analyzerXY, setAnalyzerY),
                                 TESSARANTH_FIELD(analyzerWidth, setAnalyzerWidth),
                                 TESSARANTH_FIELD(analyzerHeight, setAnalyzerHeight)};
constexpr AreaGroup playlistArea{" Playlist ", "PlaylistX", "PlaylistY", "PlaylistWidth", "PlaylistHeight",
                                 EditRule::emptyZero, EditRule::emptyZero, TESSARANTH_COLUMN(playlistXY, setPlaylistX),
                                 TESSARANTH_LINE(playlistXY, setPlaylistY),
                                 TESSARANTH_FIELD(playlistWidth, setPlaylistWidth),
                                 TESSARANTH_FIELD(playlistHeight, setPlaylistHeight)};
constexpr AreaGroup scopeArea{" Scope ", "ScopeX", "ScopeY", "ScopeWidth", "ScopeHeight", EditRule::emptyOne,
                              EditRule::emptyOne, TESSARANTH_COLUMN(scopeXY, setScopeX),
                              TESSARANTH_LINE(scopeXY, setScopeY), TESSARANTH_FIELD(scopeWidth, setScopeWidth),
                              TESSARANTH_FIELD(scopeHeight, setScopeHeight)};
constexpr AreaGroup vuMeterArea{" VU meter ", "VUMeterX", "VUMeterY", "VUMeterWidth", "VUMeterHeight",
                                EditRule::emptyOne, EditRule::emptyOne, TESSARANTH_COLUMN(vuMeterXY, setVuMeterX),
                                TESSARANTH_LINE(vuMeterXY, setVuMeterY),
                                TESSARANTH_FIELD(vuMeterWidth, setVuMeterWidth),
                                TESSARANTH_FIELD(vuMeterHeight, setVuMeterHeight)};

constexpr ControlRect at(int16_t x, int16_t y, int16_t width, int16_t height) { return {x, y, width, height}; }

constexpr void addAreaGroup(Builder& b, int8_t page, int16_t x, int16_t y, const AreaGroup& a) {
    b.add(group(a.caption, page, at(x, y, 178, 98)));
    b.add(label("Coordinates:", page, at(x + 10, y + 17, 80, 14)));
    b.add(number(a.column, a.positionRule, page, at(x + 10, y + 33, 32, 21), a.readColumn, a.writeColumn));
    b.add(label("Column", page, at(x + 46, y + 37, 42, 14)));
    b.add(number(a.line, a.positionRule, page, at(x + 94, y + 33, 32, 21), a.readLine, a.writeLine));
    b.add(label("Line", page, at(x + 130, y + 37, 40, 14)));
    b.add(label("Size:", page, at(x + 10, y + 57, 80, 14)));
    b.add(number(a.width, a.sizeRule, page, at(x + 10, y + 73, 32, 21), a.readWidth, a.writeWidth));
    b.add(label("Columns", page, at(x + 46, y + 77, 46, 14)));
    b.add(number(a.height, a.sizeRule, page, at(x + 94, y + 73, 32, 21), a.readHeight, a.writeHeight));
    b.add(label("Lines", page, at(x + 130, y + 77, 40, 14)));
}

constexpr void addMiscPage(Builder& b) {
    b.add(group(" Misc. ", misc, at(4, 0, 178, 174)));
    b.add(label("Update every", misc, at(12, 20, 66, 14)));
    b.add(number("UpdateDelay", EditRule::emptyZero, misc, at(80, 16, 44, 21),
                 +[](const Settings&) -> int32_t { return gPlugin->getUpdateDelay(); }, nullptr,
                 &TConfigForm::UpdateDelayChange));
    b.add(label("ms.", misc, at(128, 20, 30, 14)));
    b.add(check("SlowTiming", "Slower timing (T6963C)", misc, at(12, 41, 166, 17),
                TESSARANTH_FIELD(interfaceTiming, setInterfaceTiming)));
    b.add(check("ExtTrackSupport", "1000+ track support", misc, at(12, 58, 166, 17),
                TESSARANTH_FIELD(extTrackSupport, setExtTrackSupport)));
    b.add(check("TimeType", "Time = time played", misc, at(12, 75, 166, 17), TESSARANTH_FIELD(timeType, setTimeType)));
    b.add(check("InverseGFX", "Inverse graphics", misc, at(12, 92, 166, 17), TESSARANTH_FIELD(inverse, setInverse),
                &TConfigForm::InverseGFXMouseUp));
    b.add(withRule(disabled(check("EnableButtons", "Enable button support", misc, at(12, 109, 166, 17),
                                  +[](const Settings& s) -> int32_t { return s.enableButtons(); }, nullptr)),
                   CheckRule::never));
    b.add(withRule(disabled(check("Backlight", "Backlight on", misc, at(12, 126, 166, 17),
                                  +[](const Settings& s) -> int32_t { return s.backlight(); }, nullptr)),
                   CheckRule::never));
    b.add(hidden(check("ShowSplashscreen", "Show splashscreen", misc, at(12, 126, 166, 17),
                       TESSARANTH_FIELD(showSplashscreen, setShowSplashscreen))));
    b.add(label("Brightness", misc, at(12, 149, 60, 14)));
    b.add(disabled(choice("Brightness", ControlKind::dropDown, brightnessItems, misc, at(80, 145, 64, 21),
                          TESSARANTH_FIELD(brightness, setBrightness), &TConfigForm::BrightnessChange)));

    b.add(group(" Scrolling ", misc, at(188, 0, 178, 94)));
    b.add(check("ScrollTitle", "Scroll title", misc, at(196, 16, 80, 17), TESSARANTH_FIELD(scrollTitle, setScrollTitle)));
    b.add(check("ScrollArtist", "Scroll artist", misc, at(280, 16, 82, 17),
                TESSARANTH_FIELD(scrollArtist, setScrollArtist)));
    b.add(label("Font", misc, at(196, 42, 32, 14)));
    b.add(disabled(choice("FontSelection", ControlKind::dropDown, fontItems, misc, at(232, 38, 126, 21),
                          TESSARANTH_FIELD(font, setFont))));
    b.add(label("Speed", misc, at(196, 68, 36, 14)));
    b.add(slider("ScrollSpeed", 0, 10, misc, at(232, 63, 126, 26), TESSARANTH_FIELD(scrollSpeed, setScrollSpeed)));

    b.add(group(" Playlist ", misc, at(188, 98, 178, 76)));
    b.add(check("ShowPlaylist", "Show playlist", misc, at(196, 113, 160, 17),
                TESSARANTH_FIELD(showPlaylist, setShowPlaylist), &TConfigForm::ShowPlaylistMouseUp));
    b.add(check("TrackNumbering", "Track numbering", misc, at(196, 130, 160, 17),
                TESSARANTH_FIELD(trackNumbering, setTrackNumbering), &TConfigForm::TrackNumberingMouseUp));
    b.add(label("Current song position", misc, at(196, 152, 120, 14)));
    b.add(number("CurrentSongPosition", EditRule::onExit, misc, at(322, 148, 36, 21),
                 TESSARANTH_FIELD(currentPosition, setCurrentPosition), &TConfigForm::CurrentSongPositionExit));

    b.add(disabled({.name = "BackgroundLocation", .kind = ControlKind::edit, .caption = "", .page = misc,
                    .rect = at(4, 187, 250, 21)}));
    b.add(button("UploadBMP", "Select background", misc, at(260, 186, 106, 23), &TConfigForm::UploadBMPClick));
}

constexpr void addAnalyzerScopePage(Builder& b) {
    const int8_t p = analyzerScope;
    b.add(group(" Spectrum analyzer ", p, at(4, 0, 180, 176)));
    b.add(check("ShowAnalyzer", "Enabled", p, at(12, 16, 80, 17), TESSARANTH_FIELD(showAnalyzer, setShowAnalyzer),
                &TConfigForm::ShowAnalyzerMouseUp));
    b.add(check("StereoAnalyzer", "Stereo", p, at(104, 16, 76, 17), TESSARANTH_FIELD(stereoAnalyzer, setStereoAnalyzer)));
    b.add(check("BlockAnalyzer", "Block analyzer", p, at(12, 33, 92, 17),
                TESSARANTH_FIELD(blockAnalyzer, setBlockAnalyzer), &TConfigForm::BlockAnalyzerMouseUp));
    b.add(check("SmoothAnalyzer", "Smoothing", p, at(104, 33, 76, 17), TESSARANTH_FIELD(smoothAnalyzer, setSmoothAnalyzer)));
    b.add(check("NonLinearAnalyzer", "Non-linear", p, at(12, 50, 92, 17),
                TESSARANTH_FIELD(nonLinearAnalyzer, setNonLinearAnalyzer)));
    b.add(hidden(check("AutoSens", "Auto sensitivity", p, at(104, 50, 76, 17),
                       TESSARANTH_FIELD(autoSensing, setAutoSensing))));
    b.add(label("Sensitivity", p, at(12, 80, 58, 14)));
    b.add(slider("AnalyzerSens", 0, 10, p, at(72, 75, 106, 26), TESSARANTH_FIELD(analyzerSens, setAnalyzerSens)));
    b.add(label("Falloff", p, at(12, 112, 58, 14)));
    b.add(slider("FalloffValue", 0, 8, p, at(72, 107, 106, 26), TESSARANTH_FIELD(falloff, setFalloff)));
    b.add(label("Hold", p, at(12, 144, 58, 14)));
    b.add(slider("PeakHoldValue", 0, 10, p, at(72, 139, 106, 26), TESSARANTH_FIELD(peakHold, setPeakHold)));

    b.add(group(" Oscilliscope ", p, at(190, 0, 176, 176)));
    b.add(check("ShowScope", "Enabled", p, at(198, 16, 80, 17), TESSARANTH_FIELD(showScope, setShowScope),
                &TConfigForm::ShowScopeMouseUp));
    b.add(disabled(check("StereoScope", "Stereo", p, at(282, 16, 80, 17), TESSARANTH_FIELD(stereoScope, setStereoScope))));
    b.add(check("BlockScope", "Block scope", p, at(198, 33, 84, 17), TESSARANTH_FIELD(blockScope, setBlockScope),
                &TConfigForm::BlockScopeMouseUp));
    b.add(hidden(check("SmoothScope", "Smoothing", p, at(282, 33, 80, 17), TESSARANTH_FIELD(smoothScope, setSmoothScope))));
    b.add(withRule(check("FilledScope", "Filled", p, at(198, 50, 80, 17),
                         +[](const Settings& s) -> int32_t { return s.scopeType() != 0; }, nullptr,
                         &TConfigForm::FilledScopeClick),
                   CheckRule::anyClick));
    b.add(label("Amplitude", p, at(198, 80, 56, 14)));
    b.add(slider("ScopeSens", 1, 11, p, at(256, 75, 104, 26), TESSARANTH_FIELD(scopeSens, setScopeSens)));
}

constexpr void addTextFieldPage(Builder& b) {
    const int8_t p = id3;
    b.add(group("Textfields", p, at(4, 0, 362, 146)));
    for (int column = 0; column < 2; ++column) {
        const int16_t x = column == 0 ? 10 : 188;
        b.add(label("Enable", p, at(x, 15, 36, 14)));
        b.add(label("X", p, at(x + 46, 15, 20, 14)));
        b.add(label("Y", p, at(x + 78, 15, 20, 14)));
        for (int row = 0; row < 5; ++row) {
            const TextFieldRow& r = textFieldRows[column * 5 + row];
            const int16_t y = static_cast<int16_t>(31 + 22 * row);
            b.add(check(r.tick, "", p, at(x + 10, y + 2, 17, 17), r.readShow, r.writeShow));
            b.add(number(r.column, EditRule::emptyZero, p, at(x + 38, y, 28, 21), r.readColumn, r.writeColumn));
            b.add(number(r.line, EditRule::emptyZero, p, at(x + 70, y, 28, 21), r.readLine, r.writeLine));
            b.add(label(r.caption, p, at(x + 104, y + 4, 72, 14)));
        }
    }
    b.add(label("Title field length", p, at(8, 158, 100, 14)));
    b.add(number("TitleFieldLength", EditRule::emptyZero, p, at(110, 154, 32, 21),
                 TESSARANTH_FIELD(titleLength, setTitleLength)));
    b.add(label("characters", p, at(148, 158, 70, 14)));
    b.add(label("Artist field length", p, at(8, 182, 100, 14)));
    b.add(number("ArtistFieldLength", EditRule::emptyZero, p, at(110, 178, 32, 21),
                 TESSARANTH_FIELD(artistLength, setArtistLength)));
    b.add(label("characters", p, at(148, 182, 70, 14)));
    b.add(hidden(check("RealtimeUpdate", "Realtime update", p, at(230, 156, 120, 17),
                       TESSARANTH_FIELD(realtimeUpdate, setRealtimeUpdate))));
}

constexpr ControlSpec forBus(ControlSpec control, BusUse use) {
    control.bus = use;
    control.visible = false;
    return control;
}

// The edits are named after the bus settings they edit; the form fills and stores them.
constexpr ControlSpec busEdit(std::string_view name, BusUse use, ControlRect rect) {
    return forBus({.name = name, .kind = ControlKind::edit, .caption = "", .page = hardware, .rect = rect,
                   .editRule = EditRule::onExit},
                  use);
}

// Below the port address: one transport's controls at a time, in three rows.
constexpr void addBusGroup(Builder& b) {
    const int8_t p = hardware;
    b.add(group(" Display bus ", p, at(4, 130, 178, 84)));
    b.add(forBus(label("Device", p, at(12, 150, 42, 14)), BusUse::i2c));
    b.add(busEdit("I2C device", BusUse::i2c, at(56, 146, 118, 21)));
    b.add(forBus(label("Address", p, at(12, 172, 42, 14)), BusUse::i2c));
    b.add(busEdit("I2C address", BusUse::i2c, at(56, 168, 40, 21)));
    b.add(forBus(label("Column", p, at(104, 172, 40, 14)), BusUse::i2c));
    b.add(busEdit("SH1106 column offset", BusUse::sh1106, at(146, 168, 28, 21)));

    b.add(forBus(label("Device", p, at(12, 150, 42, 14)), BusUse::spi));
    b.add(busEdit("SPI device", BusUse::spi, at(56, 146, 118, 21)));
    b.add(forBus(label("Speed", p, at(12, 172, 42, 14)), BusUse::spi));
    b.add(busEdit("SPI speed", BusUse::spi, at(56, 168, 70, 21)));
    b.add(forBus(label("Hz", p, at(130, 172, 30, 14)), BusUse::spi));
    b.add(forBus(label("D/C", p, at(12, 194, 42, 14)), BusUse::dcLine));
    b.add(busEdit("D/C line", BusUse::dcLine, at(56, 190, 36, 21)));
    b.add(forBus(label("Reset", p, at(100, 194, 34, 14)), BusUse::resetLine));
    b.add(busEdit("Reset line", BusUse::resetLine, at(138, 190, 36, 21)));

    b.add(forBus(withRule(check("Parallel on GPIO", "On GPIO lines", p, at(12, 147, 162, 17),
                                nullptr, nullptr, &TConfigForm::ParallelOnGpioClick),
                          CheckRule::anyClick),
                 BusUse::gpioSwitch));
    b.add(forBus(label("Chip", p, at(12, 172, 42, 14)), BusUse::gpio));
    b.add(busEdit("GPIO chip", BusUse::gpio, at(56, 168, 118, 21)));

    b.add(forBus(choice("BusPreset", ControlKind::dropDown, busPresetItems, p, at(12, 190, 162, 21), nullptr,
                        nullptr, &TConfigForm::BusPresetChange),
                 BusUse::preset));
    b.add(invisible(label("", p, at(12, 194, 162, 14), "BusNote")));
}

constexpr void addHardwarePage(Builder& b) {
    const int8_t p = hardware;
    b.add(disabled(withText(choice("APIChoice", ControlKind::radioGroup, apiItems, p, at(4, 0, 178, 64),
                                   TESSARANTH_FIELD(api, setApi)),
                            " Hardware API ")));
    b.add(group(" Port address ", p, at(4, 70, 178, 54)));
    b.add(choice("LPTAddress", ControlKind::editableDropDown, portItems, p, at(14, 90, 158, 21), nullptr, nullptr,
                 &TConfigForm::LPTAddressClick));
    b.add(group(" Controller ", p, at(188, 0, 178, 130)));
    b.add(choice("ControllerChoice", ControlKind::list, controllerNames, p, at(198, 17, 158, 106),
                 TESSARANTH_FIELD(controller, setController), &TConfigForm::ControllerClicked));
    b.add(group(" Display size ", p, at(188, 134, 178, 80)));
    b.add(choice("DisplaySizeChoice", ControlKind::list, sizeItems, p, at(198, 151, 158, 56),
                 TESSARANTH_FIELD(displayFormat, setDisplayFormat)));
    addBusGroup(b);
}

constexpr void addAboutPage(Builder& b) {
    const int8_t p = about;
    b.add({.kind = ControlKind::heading, .caption = "Tessaranth", .page = p, .rect = at(16, 8, 340, 30)});
    b.add(label("", p, at(18, 42, 200, 14), "VersionInfo"));
    b.add(label("Graphical LCD and VFD plug-in", p, at(18, 62, 300, 14)));
    b.add({.kind = ControlKind::memo, .caption = aboutText, .page = p, .rect = at(16, 86, 342, 124)});
}

constexpr void addWiringPage(Builder& b) {
    const int8_t p = wiring;
    struct Row {
        std::string_view list, signal;
        FieldRead read;
        FieldWrite write;
    };
    constexpr Row rows[] = {
        {"WiringCS", "SelectWire", TESSARANTH_FIELD(wiringCS, setWiringCS)},
        {"WiringA0", "CommandWire", TESSARANTH_FIELD(wiringA0, setWiringA0)},
        {"WiringWR", "WriteWire", TESSARANTH_FIELD(wiringWR, setWiringWR)},
        {"WiringRD", "ReadWire", TESSARANTH_FIELD(wiringRD, setWiringRD)},
    };
    b.add(label("LPT", p, at(70, 4, 40, 14)));
    b.add(label("LCD", p, at(268, 4, 40, 14)));
    const auto y = [](int row) { return static_cast<int16_t>(22 + 25 * row); };
    for (int row = 0; row < 4; ++row) {
        b.add(choice(rows[row].list, ControlKind::dropDown, wiringLineNames, p, at(12, y(row), 150, 21),
                     rows[row].read, rows[row].write));
        b.add(label("<----------->", p, at(174, y(row) + 4, 80, 14)));
        b.add(label("select controller first", p, at(262, y(row) + 4, 104, 14), rows[row].signal));
    }
    const char* const fixed[2][2] = {{"D0 - D7 (pin 2 to 9)", "D0 - D7"}, {"GND (pin 18 to 25)", "GND"}};
    for (int row = 4; row < 6; ++row) {
        b.add(label(fixed[row - 4][0], p, at(16, y(row) + 4, 146, 14)));
        b.add(label("<----------->", p, at(174, y(row) + 4, 80, 14)));
        b.add(label(fixed[row - 4][1], p, at(262, y(row) + 4, 100, 14)));
    }
    b.add(label("Wiring presets", p, at(12, 182, 80, 14)));
    b.add(choice("WiringPreset", ControlKind::dropDown, wiringPresetNames, p, at(96, 178, 200, 21), nullptr,
                 nullptr, &TConfigForm::WiringPresetChange));
}

template <int n>
int32_t readButton(const Settings& s) { return s.buttonFunction(n); }
template <int n>
void writeButton(Settings& s, int32_t v) { s.setButtonFunction(n, static_cast<uint32_t>(v)); }
template <std::size_t... n>
constexpr std::array<std::pair<FieldRead, FieldWrite>, sizeof...(n)> buttonFields(std::index_sequence<n...>) {
    return {std::pair<FieldRead, FieldWrite>{readButton<n>, writeButton<n>}...};
}

constexpr void addButtonPage(Builder& b) {
    const int8_t p = buttons;
    constexpr std::string_view names[16] = {"Button1",  "Button2",  "Button3",  "Button4",  "Button5",  "Button6",
                                            "Button7",  "Button8",  "Button9",  "Button10", "Button11", "Button12",
                                            "Button13", "Button14", "Button15", "Button16"};
    constexpr const char* captions[16] = {"Button 1",  "Button 2",  "Button 3",  "Button 4",  "Button 5",  "Button 6",
                                          "Button 7",  "Button 8",  "Button 9",  "Button 10", "Button 11", "Button 12",
                                          "Button 13", "Button 14", "Button 15", "Button 16"};
    constexpr auto fields = buttonFields(std::make_index_sequence<16>{});
    for (int column = 0; column < 2; ++column) {
        const int16_t x = column == 0 ? 10 : 190;
        b.add(label("Button", p, at(x, 2, 50, 14)));
        b.add(label("Function", p, at(x + 56, 2, 60, 14)));
    }
    for (int n = 0; n < 16; ++n) {
        const int16_t x = n < 8 ? 10 : 190;
        const int16_t y = static_cast<int16_t>(18 + 22 * (n % 8));
        const ControlSpec caption = label(captions[n], p, at(x, y + 4, 54, 14));
        const ControlSpec list = choice(names[n], ControlKind::dropDown, functionItems, p, at(x + 56, y, 114, 21),
                                        fields[n].first, fields[n].second);
        b.add(n == 15 ? invisible(caption) : caption);
        b.add(n == 15 ? invisible(list) : list);
    }
    b.add(label("Wiring", p, at(190, 18 + 22 * 7 + 4, 54, 14)));
    b.add(choice("COM-Control", ControlKind::dropDown, buttonWiringItems, p, at(246, 18 + 22 * 7, 114, 21),
                 +[](const Settings& s) -> int32_t { return s.buttonWiring(); }, nullptr));
}

constexpr void addLayoutPages(Builder& b) {
    addAreaGroup(b, layout, 4, 0, analyzerArea);
    addAreaGroup(b, layout, 188, 0, playlistArea);
    addAreaGroup(b, layout, 4, 104, scopeArea);
    b.add(group(" 3D model ", layout, at(188, 104, 178, 98)));
    addAreaGroup(b, layout2, 4, 0, vuMeterArea);
}

constexpr void addModelEngineVuPage(Builder& b) {
    const int8_t p = modelEngineVu;
    b.add(group(" 3D model ", p, at(4, 0, 362, 46)));
    b.add(disabled(check("ShowModelEngine", "Enabled", p, at(12, 19, 76, 17),
                         TESSARANTH_FIELD(showModelEngine, setShowModelEngine))));
    b.add(label("The modelengine is being rewritten...", p, at(96, 21, 260, 14)));
    b.add(group(" VU meter ", p, at(4, 52, 362, 112)));
    b.add(check("ShowVUMeter", "Enabled", p, at(12, 70, 76, 17), TESSARANTH_FIELD(showVUMeter, setShowVUMeter),
                &TConfigForm::ShowVUMeterMouseUp));
    b.add(withRule(disabled(check("StereoVU", "Stereo", p, at(96, 70, 76, 17), nullptr, nullptr)), CheckRule::never));
    b.add(hidden(withText(choice("ComboBox1", ControlKind::editableDropDown, vuTypeItems, p, at(200, 68, 150, 21),
                                 nullptr, nullptr),
                          "select VU-meter")));
    b.add(label("Sensitivity", p, at(12, 101, 62, 14)));
    b.add(slider("VUMeterSens", 1, 11, p, at(76, 96, 200, 26), TESSARANTH_FIELD(vuMeterSens, setVuMeterSens)));
    b.add(label("Range", p, at(12, 133, 62, 14)));
    b.add(slider("VUMeterRange", 1, 11, p, at(76, 128, 200, 26), TESSARANTH_FIELD(vuMeterRange, setVuMeterRange)));
}

constexpr void addButtonRow(Builder& b) {
    const int16_t y = 284;
    b.add(button("GetButton", "Get settings", pageNone, at(4, y, 73, 25), &TConfigForm::GetButtonClick));
    b.add(button("SaveButton", "Save settings", pageNone, at(81, y, 73, 25), &TConfigForm::SaveButtonClick));
    b.add(button("SaveToFile", "Save to file", pageNone, at(158, y, 73, 25), &TConfigForm::SaveToFileClick));
    b.add(button("LoadFromFile", "Load from file", pageNone, at(235, y, 73, 25), &TConfigForm::LoadFromFileClick));
    b.add(button("CancelButton", "Cancel", pageNone, at(312, y, 73, 25), &TConfigForm::CancelButtonClick));
}

constexpr Builder buildControls() {
    Builder b;
    addMiscPage(b);
    addAnalyzerScopePage(b);
    addTextFieldPage(b);
    addHardwarePage(b);
    addAboutPage(b);
    addWiringPage(b);
    addButtonPage(b);
    addLayoutPages(b);
    addModelEngineVuPage(b);
    addButtonRow(b);
    return b;
}

constexpr Builder table = buildControls();

#undef TESSARANTH_FIELD
#undef TESSARANTH_COLUMN
#undef TESSARANTH_LINE

} // namespace

const FormShape formShape{"Tessaranth configuration", 389, 314, 200, 150, {4, 4, 381, 274}, pageTitles};

std::span<const ControlSpec> formControls() { return {table.controls.data(), table.count}; }

namespace {

// The controls' indices in the order of their names, for a binary search: the form looks names
// up for every field it fills.
constexpr auto byName = [] {
    std::array<uint16_t, table.controls.size()> order{};
    for (std::size_t i = 0; i < table.count; ++i) order[i] = static_cast<uint16_t>(i);
    std::sort(order.begin(), order.begin() + table.count,
              [](uint16_t a, uint16_t b) { return table.controls[a].name < table.controls[b].name; });
    return order;
}();

} // namespace

int formControlIndex(std::string_view name) {
    if (name.empty()) return -1;
    const auto end = byName.begin() + table.count;
    const auto found = std::lower_bound(byName.begin(), end, name,
                                        [](uint16_t i, std::string_view key) { return table.controls[i].name < key; });
    return found != end && table.controls[*found].name == name ? *found : -1;
}

} // namespace tessaranth
