// SPDX-License-Identifier: GPL-2.0-or-later
// The Windows configuration dialog as a user sees it: the DLL's Config under Wine with its X11
// driver on an X server of the test's own. The test host clicks every tab (each page from two
// different pages before it), walks the pages with Tab, changes page with Ctrl+Tab, closes with
// Esc, and reports the screen's pixels and the controls; this test judges them.
#include "WineHost.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include "config/FormTable.h"
#include "emu/RgbImage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

namespace tessaranth::test {
namespace {

namespace fs = std::filesystem;

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};

Box boxAfter(const WineRun& run, const std::string& prefix) {
    Box box;
    const std::vector<std::string> found = run.after(prefix);
    if (!found.empty()) std::istringstream(found.front()) >> box.x >> box.y >> box.width >> box.height;
    return box;
}

std::optional<emu::RgbImage> readPpm(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, depth = 0;
    file >> magic >> width >> height >> depth;
    file.get();
    if (magic != "P6" || width <= 0 || height <= 0 || width > 4096 || height > 4096 || depth != 255) return {};
    emu::RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char rgb[3];
            if (!file.read(rgb, 3)) return {};
            image.setPixel(x, y, {static_cast<uint8_t>(rgb[0]), static_cast<uint8_t>(rgb[1]), static_cast<uint8_t>(rgb[2])});
        }
    return image;
}

// The page of a control identifier the host reported; pageNone for the form's own windows,
// nothing for an identifier the dialog does not give.
std::optional<int> pageOfId(int id) {
    const int count = static_cast<int>(formControls().size());
    if (id == pageControlId) return pageNone;
    if (id >= pageIdBase && id < pageIdBase + pageCount) return id - pageIdBase;
    if (id >= controlIdBase && id < controlIdBase + count) return formControls()[static_cast<std::size_t>(id - controlIdBase)].page;
    if (id >= radioIdBase && id < radioIdBase + 8 * count) return formControls()[static_cast<std::size_t>((id - radioIdBase) / 8)].page;
    return {};
}

class DialogOnScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<XvfbServer>();
        WineHost::createPrefix(server->display());
        folder = fs::path(WineHost::prefix()) / "screen";
        fs::create_directories(folder);
        std::string windowsFolder = "Z:" + folder.string();
        for (char& c : windowsFolder)
            if (c == '/') c = '\\';
        run = WineHost::run({"--frames", "0", "--screen", windowsFolder});
        WineHost::tool({"reg", "query", "HKCU\\Software\\Kolvy\\Graphical LCD\\Tessaranth", "/v", "Update delay"},
                       &storedDelay);
        client = boxAfter(run, "screen client ");
        pageArea = boxAfter(run, "screen page area ");
    }
    static void TearDownTestSuite() {
        WineHost::removePrefix();
        server.reset();
    }

    static emu::RgbImage picture(const std::string& name) {
        std::optional<emu::RgbImage> image = readPpm(folder / (name + ".ppm"));
        if (!image) ADD_FAILURE() << "no picture " << name;
        return image.value_or(emu::RgbImage(1, 1));
    }

    // The pixels of the client area from the top of the pages down: all but the tab strip.
    static std::vector<emu::Rgb> belowTabs(const emu::RgbImage& image) {
        std::vector<emu::Rgb> pixels;
        for (int y = client.y + pageArea.y; y < client.y + client.height && y < image.height(); ++y)
            for (int x = client.x; x < client.x + client.width && x < image.width(); ++x) pixels.push_back(image.pixel(x, y));
        return pixels;
    }

    // The top left corner of a square of black pixels wider than any text stroke, if any.
    static std::optional<std::pair<int, int>> blackArea(const emu::RgbImage& image) {
        constexpr int side = 6;
        auto black = [&](int x, int y) {
            const emu::Rgb p = image.pixel(x, y);
            return p.red < 24 && p.green < 24 && p.blue < 24;
        };
        for (int y = client.y; y + side <= client.y + client.height && y + side <= image.height(); ++y)
            for (int x = client.x; x + side <= client.x + client.width && x + side <= image.width(); ++x) {
                bool all = true;
                for (int dy = 0; dy < side && all; ++dy)
                    for (int dx = 0; dx < side && all; ++dx) all = black(x + dx, y + dy);
                if (all) return std::pair(x - client.x, y - client.y);
            }
        return {};
    }

    // Every visit of a page: the page before it ("open" when the dialog opened on it).
    static std::map<int, std::set<std::string>> visits() {
        std::map<int, std::set<std::string>> seen;
        for (const auto& entry : fs::directory_iterator(folder)) {
            int page = -1;
            char from[32] = {};
            if (std::sscanf(entry.path().filename().c_str(), "page-%d-from-%31[a-z0-9].ppm", &page, from) == 2)
                seen[page].insert(from);
        }
        return seen;
    }

    static std::unique_ptr<XvfbServer> server;
    static fs::path folder;
    static WineRun run;
    static std::string storedDelay;
    static Box client, pageArea;
};

std::unique_ptr<XvfbServer> DialogOnScreen::server;
fs::path DialogOnScreen::folder;
WineRun DialogOnScreen::run;
std::string DialogOnScreen::storedDelay;
Box DialogOnScreen::client, DialogOnScreen::pageArea;

TEST_F(DialogOnScreen, EveryPageIsReachedByItsTabFromTwoPagesAndFullyPainted) {
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(boxAfter(run, "screen window ").x, 200);
    EXPECT_EQ(boxAfter(run, "screen window ").y, 150);
    EXPECT_EQ(client.width, 389);
    EXPECT_EQ(client.height, 314);
    EXPECT_TRUE(run.after("screen tab ").empty()) << "a tab click that did not change the page";
    const auto seen = visits();
    for (int page = 0; page < pageCount; ++page) {
        ASSERT_TRUE(seen.count(page)) << "page " << page;
        EXPECT_GE(seen.at(page).size(), 2u) << "page " << page;
        for (const std::string& from : seen.at(page)) {
            const std::string name = "page-" + std::to_string(page) + "-from-" + from;
            const auto black = blackArea(picture(name));
            EXPECT_FALSE(black) << name << ": unpainted at " << black->first << ", " << black->second;
        }
    }
}

// The same page looks the same whichever page was shown before, and as its golden picture.
TEST_F(DialogOnScreen, APageLooksTheSameWhicheverPageCameBefore) {
    const bool update = std::getenv("TESSARANTH_UPDATE_GOLDEN") != nullptr;
    for (const auto& [page, froms] : visits()) {
        const std::string first = page == 0 ? std::string("open") : std::to_string(page - 1);
        const std::string reference = "page-" + std::to_string(page) + "-from-" + first;
        const emu::RgbImage shown = picture(reference);
        for (const std::string& from : froms) {
            const std::string name = "page-" + std::to_string(page) + "-from-" + from;
            EXPECT_TRUE(belowTabs(picture(name)) == belowTabs(shown)) << name << " differs from " << reference;
        }
        const std::string golden = std::string(TESSARANTH_GOLDEN_DIR) + "/win32-dialog/page-" + std::to_string(page) + ".png";
        if (update) {
            fs::create_directories(fs::path(golden).parent_path());
            EXPECT_TRUE(shown.writePng(golden)) << golden;
            continue;
        }
        const std::optional<emu::RgbImage> expected = emu::RgbImage::readPng(golden);
        ASSERT_TRUE(expected) << golden << " is missing; make golden-dialog writes it";
        if (!(belowTabs(*expected) == belowTabs(shown))) {
            shown.writePng((fs::temp_directory_path() / ("win32-dialog-page-" + std::to_string(page) + ".actual.png")).string());
            ADD_FAILURE() << reference << " differs from " << golden << " (what it got is in the temporary folder)";
        }
    }
}

TEST_F(DialogOnScreen, NoControlOfAnotherPageIsVisible) {
    const std::vector<std::string> lines = run.after("visible ");
    ASSERT_GT(lines.size(), 100u);
    for (const std::string& line : lines) {
        int page = 0, id = 0, enabled = 0;
        std::string from;
        std::istringstream(line) >> page >> from >> id >> enabled;
        const std::optional<int> owner = pageOfId(id);
        ASSERT_TRUE(owner) << "a window the dialog does not make: " << line;
        EXPECT_TRUE(*owner == page || *owner == pageNone) << "page " << page << " (after " << from << ") shows " << id
                                                          << " of page " << *owner;
    }
}

TEST_F(DialogOnScreen, EveryCaptionFitsItsControlInItsFont) {
    const std::vector<std::string> lines = run.after("fit ");
    ASSERT_GT(lines.size(), 50u);
    for (const std::string& line : lines) {
        int page = 0, id = 0, needWidth = 0, haveWidth = 0, needHeight = 0, haveHeight = 0;
        std::istringstream(line) >> page >> id >> needWidth >> haveWidth >> needHeight >> haveHeight;
        EXPECT_LE(needWidth, haveWidth) << "cut: " << line;
        EXPECT_LE(needHeight, haveHeight) << "cut: " << line;
    }
}

TEST_F(DialogOnScreen, TabReachesEveryEnabledControlAndCtrlTabChangesPage) {
    std::map<int, std::set<int>> reached, expected;
    for (const std::string& line : run.after("focus ")) {
        int page = 0, id = 0;
        std::istringstream(line) >> page >> id;
        reached[page].insert(id);
    }
    for (const std::string& line : run.after("visible ")) {
        int page = 0, id = 0, enabled = 0;
        std::string from;
        std::istringstream(line) >> page >> from >> id >> enabled;
        if (id < controlIdBase || id >= controlIdBase + static_cast<int>(formControls().size()) || !enabled) continue;
        const ControlKind kind = formControls()[static_cast<std::size_t>(id - controlIdBase)].kind;
        const bool input = kind == ControlKind::edit || kind == ControlKind::checkBox || kind == ControlKind::dropDown ||
                           kind == ControlKind::editableDropDown || kind == ControlKind::list ||
                           kind == ControlKind::slider || kind == ControlKind::button;
        if (input) expected[page].insert(id);
    }
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(pageCount));
    for (const auto& [page, ids] : expected)
        for (int id : ids) EXPECT_TRUE(reached[page].count(id)) << "Tab never reaches " << id << " on page " << page;
    EXPECT_EQ(run.after("ctrl-tab "), std::vector<std::string>{"9 0"});
    EXPECT_EQ(run.after("ctrl-shift-tab "), std::vector<std::string>{"0 9"});
}

TEST_F(DialogOnScreen, EscClosesAsCancelWithoutSaving) {
    EXPECT_TRUE(run.has("escape closed 1"));
    EXPECT_TRUE(run.has("config returned"));
    EXPECT_EQ(storedDelay.find("Update delay"), std::string::npos) << "Esc saved the settings:\n" << storedDelay;
}

TEST_F(DialogOnScreen, ThePlayerIsDisabledWhileItIsOpenAndConfigOpensOneDialog) {
    EXPECT_TRUE(run.has("player enabled while open 0"));
    EXPECT_TRUE(run.has("second config returned 1")) << "a second Config ran a second modal loop";
    EXPECT_TRUE(run.has("dialogs open 1"));
    EXPECT_TRUE(run.has("dialog in front 1"));
    EXPECT_TRUE(run.has("player enabled after close 1"));
    EXPECT_TRUE(run.has("focus back on player 1"));
}

TEST_F(DialogOnScreen, BothExportNamesAreOneAddress) { EXPECT_TRUE(run.has("export alias same address 1")); }

} // namespace
} // namespace tessaranth::test
