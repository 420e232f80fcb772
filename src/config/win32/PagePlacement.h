// SPDX-License-Identifier: GPL-2.0-or-later
// Where the Win32 view puts the controls of one page: the table's layout fitted to the dialog
// font (FitLayout), in the order a reader meets the controls, which is also their tab order.
#pragma once

#include "config/FormTable.h"

#include <windows.h>

#include <vector>

namespace tessaranth::win32view {

struct Placed {
    int control;       // index in the form's table
    ControlRect rect;  // in the page's client coordinates (the form's for the button row)
};

bool isFrame(const ControlSpec& c);

// The controls of `page` (pageNone: the form's button row) fitted to a page `pageWidth` wide:
// frame by frame, each from top to bottom and left to right; frames come last, so that they lie
// beneath the controls they hold.
std::vector<Placed> placeControls(int page, int pageWidth, HFONT font, HFONT headingFont);

} // namespace tessaranth::win32view
