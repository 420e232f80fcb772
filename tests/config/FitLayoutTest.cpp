// SPDX-License-Identifier: GPL-2.0-or-later
// Fitting the table's layout to a font with wider captions: rows make room, columns stay
// aligned, nothing leaves its frame, and what fits already stays where the table put it.
#include "config/FitLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace tessaranth {
namespace {

ControlRect rect(int x, int y, int width, int height = 14) {
    return {static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(width), static_cast<int16_t>(height)};
}

bool operator==(const ControlRect& a, const ControlRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(FitLayout, WhatFitsStaysWhereTheTablePutIt) {
    const std::vector<FitItem> items = {{rect(12, 20, 66), 60, false, 0, 178},
                                        {rect(80, 16, 44, 21), 0, true, 0, 178},
                                        {rect(128, 20, 30), 20, false, 0, 178}};
    const std::vector<ControlRect> fitted = fitCaptions(items);
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_TRUE(fitted[i] == items[i].rect) << i;
}

TEST(FitLayout, AWiderCaptionPushesItsRowAndItsColumnsJustFarEnough) {
    // "Update every" needs 77: the edit and "ms." move right; the list below them, in the
    // edit's column, moves with it; a gap wide enough absorbs growth without moving anything.
    const std::vector<FitItem> items = {{rect(12, 20, 66), 77, false, 0, 178},
                                        {rect(80, 16, 44, 21), 0, true, 0, 178},
                                        {rect(128, 20, 30), 20, false, 0, 178},
                                        {rect(80, 145, 64, 21), 0, true, 0, 178},
                                        {rect(196, 20, 60), 70, false, 1, 366},
                                        {rect(300, 16, 40, 21), 0, true, 1, 366}};
    const std::vector<ControlRect> fitted = fitCaptions(items);
    EXPECT_EQ(fitted[0].width, 77);
    EXPECT_EQ(fitted[1].x, 12 + 77 + 2) << "the table's gap of 2 is kept";
    EXPECT_EQ(fitted[2].x, fitted[1].x + 44 + 3) << "a wider gap shrinks to 3";
    EXPECT_EQ(fitted[3].x, fitted[1].x) << "the column stays aligned";
    EXPECT_EQ(fitted[4].width, 70);
    EXPECT_EQ(fitted[5].x, 300) << "the gap after the caption had room";

    // "Block analyzer" grows into the check box the table put right against it.
    const std::vector<FitItem> touching = {{rect(12, 33, 92, 17), 96, false, 0, 180},
                                           {rect(104, 33, 76, 17), 60, false, 0, 180}};
    const std::vector<ControlRect> apart = fitCaptions(touching);
    EXPECT_EQ(apart[1].x, 12 + 96 + 3) << "touching neighbours move apart once the left one grew";
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(fitted[i].y, items[i].rect.y);
}

TEST(FitLayout, ARowThatWouldLeaveItsFrameGivesUpSpareWidth) {
    // A button row: the wide captions push Cancel past the edge, and Cancel, which needs less
    // than it has, narrows. A button at the end of a row with an edit: the edit gives way.
    const std::vector<FitItem> buttons = {{rect(4, 284, 73, 25), 76, false, -1, 385},
                                          {rect(81, 284, 73, 25), 84, false, -1, 385},
                                          {rect(158, 284, 73, 25), 71, false, -1, 385},
                                          {rect(235, 284, 73, 25), 87, false, -1, 385},
                                          {rect(312, 284, 73, 25), 42, false, -1, 385}};
    const std::vector<ControlRect> row = fitCaptions(buttons);
    for (std::size_t i = 0; i < row.size(); ++i) {
        EXPECT_GE(row[i].width, buttons[i].needed) << i;
        if (i > 0) {
            EXPECT_GE(row[i].x, row[i - 1].x + row[i - 1].width + 3) << i;
        }
    }
    EXPECT_EQ(row.back().x + row.back().width, 385);

    const std::vector<FitItem> path = {{rect(4, 187, 250, 21), 0, true, -1, 366},
                                       {rect(260, 186, 106, 23), 112, false, -1, 366}};
    const std::vector<ControlRect> fitted = fitCaptions(path);
    EXPECT_EQ(fitted[1].width, 112);
    EXPECT_EQ(fitted[1].x + fitted[1].width, 366);
    EXPECT_EQ(fitted[0].x, 4);
    EXPECT_EQ(fitted[0].x + fitted[0].width + 3, fitted[1].x) << "the edit narrows";
}

// The innermost frame around a control of the table, or -1.
int frameOf(int control) {
    const auto& controls = formControls();
    const ControlRect& r = controls[static_cast<std::size_t>(control)].rect;
    int frame = -1;
    for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
        const ControlSpec& c = controls[static_cast<std::size_t>(i)];
        const bool holds = (c.kind == ControlKind::group || c.kind == ControlKind::radioGroup) && i != control &&
                           c.page == controls[static_cast<std::size_t>(control)].page && c.rect.x <= r.x &&
                           c.rect.y <= r.y && c.rect.x + c.rect.width >= r.x + r.width &&
                           c.rect.y + c.rect.height >= r.y + r.height;
        if (holds && (frame < 0 || controls[static_cast<std::size_t>(frame)].rect.width > c.rect.width)) frame = i;
    }
    return frame;
}

// Every page of the real form in a font wider than Windows' own (6.3 pixels a character):
// every caption fits, no control runs into the next one of its row, and none leaves its frame.
TEST(FitLayout, TheFormsPagesTakeAWiderFont) {
    std::map<int, std::vector<int>> pages;
    for (int i = 0; i < static_cast<int>(formControls().size()); ++i) {
        const ControlSpec& c = formControls()[static_cast<std::size_t>(i)];
        if (c.visible && c.kind != ControlKind::group && c.kind != ControlKind::radioGroup) pages[c.page].push_back(i);
    }
    for (const auto& [page, members] : pages) {
        std::vector<FitItem> items;
        for (int i : members) {
            const ControlSpec& c = formControls()[static_cast<std::size_t>(i)];
            const int text = static_cast<int>(std::strlen(c.caption)) * 63 / 10;
            const int margin = c.kind == ControlKind::checkBox ? 16 : c.kind == ControlKind::button ? 8 : 0;
            const bool captioned = c.kind == ControlKind::label || c.kind == ControlKind::checkBox || c.kind == ControlKind::button;
            const int frame = frameOf(i);
            const int right = frame >= 0 ? formControls()[static_cast<std::size_t>(frame)].rect.x +
                                               formControls()[static_cast<std::size_t>(frame)].rect.width - 4
                                         : page == pageNone ? formShape.clientWidth - 4 : 366;
            items.push_back({c.rect, captioned && text > 0 ? text + margin : 0, !captioned, frame, right});
        }
        const std::vector<ControlRect> fitted = fitCaptions(items);
        for (std::size_t a = 0; a < items.size(); ++a) {
            const std::string which = "page " + std::to_string(page) + " control " + std::to_string(members[a]);
            EXPECT_GE(fitted[a].width, items[a].needed) << which;
            EXPECT_LE(fitted[a].x + fitted[a].width, std::max(items[a].right, items[a].rect.x + items[a].rect.width)) << which;
            for (std::size_t b = 0; b < items.size(); ++b) {
                const bool sameRow = items[a].area == items[b].area && items[a].rect.y < items[b].rect.y + items[b].rect.height &&
                                     items[b].rect.y < items[a].rect.y + items[a].rect.height;
                if (a != b && sameRow && items[a].rect.x < items[b].rect.x) {
                    EXPECT_LE(fitted[a].x + fitted[a].width, fitted[b].x) << which << " runs into " << members[b];
                }
            }
        }
    }
}

} // namespace
} // namespace tessaranth
