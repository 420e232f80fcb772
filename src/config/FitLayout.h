// SPDX-License-Identifier: GPL-2.0-or-later
// Fits the form table's pixel layout to the font a view actually draws with. A control whose
// caption needs more room than the table gives it is widened; the controls after it on its row
// move right just far enough to keep apart, controls that share a column stay aligned, and a
// row that would run past the right edge of its frame (or page) is pulled back in by taking
// room from controls that have more than they need. Controls keep their top and height.
#pragma once

#include "config/FormTable.h"

#include <span>
#include <vector>

namespace tessaranth {

struct FitItem {
    ControlRect rect;       // as the table places it
    int needed = 0;         // width the caption needs in the view's font; 0: no caption
    bool stretchy = false;  // may give up width (edits, lists, sliders)
    int area = -1;          // the frame it sits in (any number shared by its row); -1: the page
    int right = 0;          // the right edge its frame or page allows
};

// The rects of the items in the same order, fitted. Items of one call lie on one page.
std::vector<ControlRect> fitCaptions(std::span<const FitItem> items);

} // namespace tessaranth
