// SPDX-License-Identifier: GPL-2.0-or-later
// The spans of a band (a page, a row pair, a row) that a frame sends: runs of changed units,
// two runs merged where the unchanged units between them cost no more than opening a new
// window would.
#pragma once

namespace tessaranth {

// Calls send(first, end) for each span of units [first, end) of the `count` in a band that
// changed(unit) says differ, merging across at most `gap` unchanged units; with `all`, the whole
// band in one span.
template <typename Changed, typename Send>
void forEachChangedSpan(int count, int gap, bool all, Changed&& changed, Send&& send) {
    if (all) {
        if (count > 0) send(0, count);
        return;
    }
    int first = -1;
    int last = -1;
    for (int unit = 0; unit < count; ++unit) {
        if (!changed(unit)) continue;
        if (first >= 0 && unit - last - 1 > gap) {
            send(first, last + 1);
            first = -1;
        }
        if (first < 0) first = unit;
        last = unit;
    }
    if (first >= 0) send(first, last + 1);
}

} // namespace tessaranth
