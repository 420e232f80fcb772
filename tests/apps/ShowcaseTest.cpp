// SPDX-License-Identifier: GPL-2.0-or-later
// The demo's showcase: every element in a place of its own, the frame it shows on the emulated
// display, and the stored settings it leaves alone.
#include "GoldenPicture.h"
#include "players/DemoPlayer.h"
#include "session/HostSession.h"
#include "session/PluginLibrary.h"
#include "session/Showcase.h"
#include "session/StoredSettings.h"
#include "views/VirtualDisplayTarget.h"

#include "geometry/DisplayFormat.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <ostream>
#include <unistd.h>

namespace tessaranth::host {
namespace {

// An element's place on the glass in pixels; right and bottom are outside.
struct Box {
    std::string name;
    int left, top, right, bottom;

    bool meets(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

Box textBox(const std::string& name, uint16_t xy, int characters) {
    const int column = xy >> 8, row = xy & 0xFF;
    return {name, column * 6, row * 8, (column + characters) * 6, (row + 1) * 8};
}

Box graphicBox(const std::string& name, uint16_t xy, int columns, int rows) {
    const int column = xy >> 8, top = xy & 0xFF;
    return {name, column * 6, top, (column + columns) * 6, top + rows};
}

// The playlist's lines and the bar behind the current one, which starts a pixel row above it.
Box playlistBox(const Settings& s) {
    const int column = s.playlistXY() >> 8, row = s.playlistXY() & 0xFF;
    const int barTop = 8 * (row + s.currentPosition()) - 1;
    return {"playlist", column * 6, std::min(8 * row, barTop), (column + s.playlistWidth()) * 6,
            std::max(8 * (row + s.playlistHeight()), barTop + 9)};
}

// Where each text, at its widest, and each area lands.
std::vector<Box> boxesOf(const Settings& s) {
    return {textBox("title", s.titleXY(), s.titleLength()),
            textBox("artist", s.artistXY(), s.artistLength()),
            textBox("time", s.timeXY(), 11),
            textBox("track", s.trackXY(), 7),
            textBox("samplerate", s.samplerateXY(), 3),
            textBox("bitrate", s.bitrateXY(), 4),
            textBox("mono/stereo", s.trackinfoXY(), 6),
            textBox("status", s.statusXY(), 7),
            textBox("shuffle", s.shuffleXY(), 7),
            textBox("repeat", s.repeatXY(), 6),
            graphicBox("analyzer", s.analyzerXY(), s.analyzerWidth(), s.analyzerHeight()),
            graphicBox("scope", s.scopeXY(), s.scopeWidth(), s.scopeHeight()),
            graphicBox("VU meter", s.vuMeterXY(), s.vuMeterWidth(), s.vuMeterHeight()),
            playlistBox(s)};
}

// Each box with whether its element is shown.
std::vector<std::pair<Box, bool>> shownBoxesOf(const Settings& s) {
    const std::vector<Box> boxes = boxesOf(s);
    const uint8_t shown[] = {s.showTitle(), s.showArtist(), s.showTime(), s.showTrack(), s.showSamplerate(),
                             s.showBitrate(), s.showTrackinfo(), s.showStatus(), s.showShuffle(), s.showRepeat(),
                             s.showAnalyzer(), s.showScope(), s.showVUMeter(), s.showPlaylist()};
    std::vector<std::pair<Box, bool>> result;
    for (std::size_t i = 0; i < boxes.size(); ++i) result.emplace_back(boxes[i], shown[i] != 0);
    return result;
}

bool everythingShown(const Settings& s) {
    for (uint8_t shown : {s.showTitle(), s.showArtist(), s.showTime(), s.showTrack(), s.showSamplerate(),
                          s.showBitrate(), s.showTrackinfo(), s.showStatus(), s.showShuffle(), s.showRepeat(),
                          s.showAnalyzer(), s.showScope(), s.showVUMeter(), s.showPlaylist()})
        if (!shown) return false;
    return true;
}

std::string fileText(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The lit pixels of a one-bit bitmap (a 0 bit is lit), top row first; empty when it is not one.
std::vector<std::vector<bool>> bitmapPixels(const std::string& bytes) {
    const auto word = [&](std::size_t at) {
        return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
               static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
    };
    if (bytes.size() < 62 || bytes.compare(0, 2, "BM") != 0 || (word(28) & 0xFFFF) != 1) return {};
    const int width = static_cast<int>(word(18)), height = static_cast<int>(word(22));
    const std::size_t rowBytes = static_cast<std::size_t>(width + 31) / 32 * 4, start = word(10);
    if (width <= 0 || height <= 0 || bytes.size() < start + rowBytes * static_cast<std::size_t>(height)) return {};
    std::vector<std::vector<bool>> pixels(static_cast<std::size_t>(height), std::vector<bool>(static_cast<std::size_t>(width)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto byte = static_cast<uint8_t>(bytes[start + rowBytes * static_cast<std::size_t>(height - 1 - y) + static_cast<std::size_t>(x / 8)]);
            pixels[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = !((byte >> (7 - x % 8)) & 1);
        }
    return pixels;
}

class ShowcaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(home);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string folder = ::testing::TempDir() + "showcase-" + std::to_string(getpid());
    std::string home = folder + "/home";
    std::string registry = home + "/tessaranth/registry.reg";
};

// The displays the showcase is arranged for, with the name of the golden picture of the demo on
// each and the colour of its panel.
struct Panel {
    const char* golden;
    ShowcaseDisplay display;
    emu::PanelColour colour = emu::PanelColour::usual;
};

void PrintTo(const Panel& panel, std::ostream* out) { *out << panel.golden; }

const Panel panels[] = {
    {"showcase-t6963c-240x128", {0, 3}},
    {"showcase-ssd1306-128x64", {7, 0}},
    {"showcase-ssd1306-128x32", {7, 8}, emu::PanelColour::blue},
    {"showcase-ssd1309-128x64-yellow-blue", {8, 0}, emu::PanelColour::yellowBlue},
    {"showcase-sh1106-128x64", {9, 0}},
    {"showcase-st7920-128x64", {10, 0}},
    {"showcase-st7920-128x64-yellow-green", {10, 0}, emu::PanelColour::yellowGreen},
    {"showcase-ssd1322-256x64", {11, 10}},
    {"showcase-ssd1322-256x64-white", {11, 10}, emu::PanelColour::white},
};

class ShowcaseOnEachDisplay : public ShowcaseTest, public ::testing::WithParamInterface<Panel> {};

// Each shown element lies on the glass in a place of its own, the background's lines and
// labels stay between them, and the display shows at least the title, the time, the play
// status, the analyzer and the scope; from 240x128 up, everything.
TEST_P(ShowcaseOnEachDisplay, EveryShownElementHasAPlaceOfItsOwnAndTheBackgroundStaysBetween) {
    const ShowcaseDisplay panel = GetParam().display;
    const std::string picture = folder + "/showcase.bmp";
    ASSERT_TRUE(writeShowcasePicture(picture, panel));
    loadPlugin();
    arrangeShowcase(*gSettings, picture, panel);
    const bool everything = everythingShown(*gSettings);
    std::vector<Box> boxes;
    for (const auto& [box, shown] : shownBoxesOf(*gSettings))
        if (shown) boxes.push_back(box);
    const std::string background = gSettings->background();
    const uint8_t controller = gSettings->controller(), format = gSettings->displayFormat();
    unloadPlugin();

    const int width = displaySize(panel.displayFormat).width, height = displaySize(panel.displayFormat).height;
    EXPECT_EQ(everything, width >= 240 && height >= 128);
    std::vector<std::string> names;
    for (const Box& box : boxes) names.push_back(box.name);
    for (const char* name : {"title", "time", "status", "analyzer", "scope"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    EXPECT_EQ(controller, panel.controller);
    EXPECT_EQ(format, panel.displayFormat);
    EXPECT_EQ(background, picture);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& box = boxes[i];
        EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height) << box.name;
        for (std::size_t j = i + 1; j < boxes.size(); ++j) EXPECT_FALSE(box.meets(boxes[j])) << box.name << " and " << boxes[j].name;
    }

    // The picture is as wide as the plug-in reads it, which can be wider than the display.
    const auto pixels = bitmapPixels(fileText(picture));
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(height));
    ASSERT_GE(pixels[0].size(), static_cast<std::size_t>(width));
    int lit = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < static_cast<int>(pixels[0].size()); ++x) {
            if (!pixels[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) continue;
            ++lit;
            EXPECT_LT(x, width) << "lit beyond the display at " << x << "," << y;
            for (const Box& box : boxes) EXPECT_FALSE(box.meets({"", x, y, x + 1, y + 1})) << box.name << " at " << x << "," << y;
        }
    EXPECT_GE(lit, height / 2) << "lines that part the areas";
}

// The demo fourteen and a half seconds in, on the display in its panel's colour: the second
// song plays, shuffle and repeat are on.
TEST_P(ShowcaseOnEachDisplay, GoldenFrameOfTheDemo) {
    const Panel& panel = GetParam();
    const StoredSettings settings("", WhenNothingIsStored::showcase, panel.display);
    ASSERT_TRUE(settings.showcase());
    EXPECT_EQ(settings.displaySetup().controller, panel.display.controller);
    EXPECT_EQ(settings.displaySetup().displayFormat, panel.display.displayFormat);
    emu::DisplaySetup setup = settings.displaySetup();
    setup.panel = panel.colour;
    VirtualDisplayTarget display(setup);
    PluginLibrary plugin(TESSARANTH_PLUGIN_PATH);
    plugin.setHostServices(display.services());
    DemoPlayer player;
    {
        HostSession session(plugin, player, player, nullptr);
        session.start();
        for (int64_t now = 0; now <= 14500; now += 60) session.frame(now);
        EXPECT_TRUE(display.display().problems().empty()) << display.display().problems().text();
        test::expectGoldenPicture(display.display(), panel.golden);
    }
}

// "Save settings" pressed in the showcase: a person who presses it wants the showcase for their
// own, so it goes into the user's settings with its picture, and the terminal says so.
TEST_P(ShowcaseOnEachDisplay, SaveSettingsInTheShowcaseMakesItTheUsersOwn) {
    const ShowcaseDisplay panel = GetParam().display;
    std::string privateHome;
    {
        StoredSettings settings("", WhenNothingIsStored::showcase, panel);
        ASSERT_TRUE(settings.showcase());
        privateHome = settings.privateConfigHome();
        EXPECT_EQ(settings.passOnSave(), "");
        EXPECT_FALSE(std::filesystem::exists(registry));
        loadPlugin();  // what the dialog's "Save settings" does in the plug-in
        ASSERT_TRUE(gSettings->loadFromRegistry());
        gSettings->setUpdateDelay(45);
        ASSERT_TRUE(gSettings->saveToRegistry());
        unloadPlugin();
        EXPECT_EQ(settings.passOnSave(), "\"Save settings\" in the showcase saved its settings as your own, in " + registry);
        EXPECT_STREQ(std::getenv("XDG_CONFIG_HOME"), privateHome.c_str()) << "the run goes on with its own registry";
    }
    EXPECT_FALSE(std::filesystem::exists(privateHome));
    const std::string picture = home + "/tessaranth/showcase.bmp";
    EXPECT_EQ(bitmapPixels(fileText(picture)).size(), displaySize(panel.displayFormat).height) << "the display's picture";
    const StoredSettings stored("", WhenNothingIsStored::showcase);
    EXPECT_FALSE(stored.showcase()) << "settings are stored now";
    EXPECT_EQ(stored.displaySetup().controller, panel.controller);
    EXPECT_EQ(stored.displaySetup().displayFormat, panel.displayFormat);
    loadPlugin();
    ASSERT_TRUE(gSettings->loadFromRegistry());
    EXPECT_EQ(gSettings->updateDelay(), 45);
    EXPECT_STREQ(gSettings->background(), picture.c_str()) << "the picture comes along";
    unloadPlugin();
}

INSTANTIATE_TEST_SUITE_P(Panels, ShowcaseOnEachDisplay, ::testing::ValuesIn(panels),
                         [](const ::testing::TestParamInfo<Panel>& param) {
                             std::string name = param.param.golden;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST_F(ShowcaseTest, OnlyTheDemoWithNothingStoredShowsItAndNothingIsWritten) {
    {
        const StoredSettings settings("", WhenNothingIsStored::showcase);
        EXPECT_TRUE(settings.showcase());
        EXPECT_EQ(settings.displaySetup().controller, 0);
        EXPECT_EQ(settings.displaySetup().displayFormat, 3);
        ASSERT_FALSE(settings.privateConfigHome().empty());
        EXPECT_TRUE(std::filesystem::exists(settings.privateConfigHome() + "/tessaranth/registry.reg"));
        EXPECT_TRUE(std::filesystem::exists(settings.privateConfigHome() + "/showcase.bmp"));
    }
    EXPECT_FALSE(std::filesystem::exists(registry));
    {
        const StoredSettings settings("", WhenNothingIsStored::pluginDefaults);
        EXPECT_FALSE(settings.showcase());
        EXPECT_EQ(settings.displaySetup().displayFormat, 0);
    }
    loadPlugin();
    gSettings->setDisplayFormat(2);
    ASSERT_TRUE(gSettings->saveToRegistry());
    unloadPlugin();
    const std::string stored = fileText(registry);
    {
        const StoredSettings settings("", WhenNothingIsStored::showcase);
        EXPECT_FALSE(settings.showcase());
        EXPECT_EQ(settings.displaySetup().displayFormat, 2) << "what is stored";
        EXPECT_TRUE(settings.privateConfigHome().empty());
    }
    EXPECT_EQ(fileText(registry), stored);
}

} // namespace
} // namespace tessaranth::host
