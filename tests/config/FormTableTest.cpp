// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/FormTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tessaranth::test {
namespace {

const ControlSpec& byName(std::string_view name) {
    return formControls()[static_cast<std::size_t>(formControlIndex(name))];
}

TEST(FormTable, NamesAreUniqueAndFound) {
    std::set<std::string_view> names;
    for (const ControlSpec& c : formControls()) {
        if (c.name.empty()) continue;
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_EQ(&byName(c.name), &c);
    }
    // Before, between and after the names, and a name's first part.
    for (std::string_view missing : {"", "!", "NoSuchControl", "~", "BackgroundLocatio", "BackgroundLocationX"})
        EXPECT_EQ(formControlIndex(missing), -1) << missing;
}

TEST(FormTable, PagesAreInTabOrder) {
    const std::vector<std::string> titles(formShape.pageTitles.begin(), formShape.pageTitles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"Misc..", "Analyzer / Scope", "ID3 tag info", "Hardware settings",
                                                "About", "Wiring", "Button setup", "Layout",
                                                "Modelengine / VU meter", "Layout 2"}));
    EXPECT_STREQ(formShape.caption, "Tessaranth configuration");
    EXPECT_EQ(formShape.clientWidth, 389);
    EXPECT_EQ(formShape.clientHeight, 314);
}

TEST(FormTable, EveryControlFitsItsPageOrTheForm) {
    // The page control leaves its pages at least 370 x 216 pixels.
    for (const ControlSpec& c : formControls()) {
        const int right = c.rect.x + c.rect.width, bottom = c.rect.y + c.rect.height;
        EXPECT_GE(c.rect.x, 0) << c.name << c.caption;
        EXPECT_GE(c.rect.y, 0) << c.name << c.caption;
        if (c.page == pageNone) {
            EXPECT_LE(right, formShape.clientWidth) << c.name;
            EXPECT_LE(bottom, formShape.clientHeight) << c.name;
            EXPECT_GE(c.rect.y, formShape.pages.y + formShape.pages.height) << c.name;
        } else {
            EXPECT_LT(c.page, pageCount);
            EXPECT_LE(right, 370) << c.name << c.caption;
            EXPECT_LE(bottom, 216) << c.name << c.caption;
        }
    }
}

TEST(FormTable, ButtonRowIsInItsOrder) {
    int lastX = -1;
    for (const char* name : {"GetButton", "SaveButton", "SaveToFile", "LoadFromFile", "CancelButton"}) {
        const ControlSpec& b = byName(name);
        EXPECT_EQ(b.page, pageNone);
        EXPECT_GT(b.rect.x, lastX) << name;
        lastX = b.rect.x;
    }
    EXPECT_STREQ(byName("LoadFromFile").caption, "Load from file");
    EXPECT_STREQ(byName("CancelButton").caption, "Cancel");
}

TEST(FormTable, ListsCarryTheirEntries) {
    EXPECT_EQ(byName("Brightness").items.size(), 16u);
    EXPECT_STREQ(byName("Brightness").items[15], "    6%");
    const auto functions = byName("Button1").items;
    ASSERT_EQ(functions.size(), 23u);
    EXPECT_EQ(std::string(functions[14]), std::string(40, '-'));
    EXPECT_EQ(std::string(functions[18]), std::string(41, '-'));
    EXPECT_STREQ(functions[22], "Menu down");
    const auto sizes = byName("DisplaySizeChoice").items;
    ASSERT_EQ(sizes.size(), 11u);
    EXPECT_STREQ(sizes[9], "256 x   32 (N/A)");  // stored records keep their meaning: the new size comes last
    EXPECT_STREQ(sizes[10], "256 x   64");
    EXPECT_STREQ(byName("ControllerChoice").items[4], "HD61830 (N/A)");
    EXPECT_STREQ(byName("WiringPreset").items[0], "select preset...");
    EXPECT_EQ(byName("ScopeSens").minimum, 1);
    EXPECT_EQ(byName("ScopeSens").maximum, 11);
    EXPECT_EQ(byName("FalloffValue").maximum, 8);
    EXPECT_EQ(byName("LPTAddress").kind, ControlKind::editableDropDown);
    EXPECT_EQ(byName("ControllerChoice").kind, ControlKind::list);
}

TEST(FormTable, OnlyTheStatedControlsAreLeftUnfilled) {
    std::set<std::string_view> unfilled;
    for (const ControlSpec& c : formControls()) {
        const bool input = c.kind == ControlKind::edit || c.kind == ControlKind::checkBox ||
                           c.kind == ControlKind::slider || c.kind == ControlKind::dropDown ||
                           c.kind == ControlKind::list || c.kind == ControlKind::radioGroup ||
                           c.kind == ControlKind::editableDropDown;
        // The bus group's edits are filled from the bus settings by name.
        if (input && !c.read && c.bus == BusUse::none) unfilled.insert(c.name);
    }
    EXPECT_EQ(unfilled, (std::set<std::string_view>{"BackgroundLocation", "LPTAddress", "StereoVU", "ComboBox1",
                                                    "WiringPreset"}));
}

TEST(FormTable, WindowsIdentifiersDoNotCollide) {
    const int controls = static_cast<int>(formControls().size());
    EXPECT_LT(controlId(controls - 1), radioIdBase);
    EXPECT_NE(radioItemId(0, 1), radioItemId(1, 0));
}

} // namespace
} // namespace tessaranth::test
