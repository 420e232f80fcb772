// SPDX-License-Identifier: GPL-2.0-or-later
// Fields placed for a small panel of any size: title and artist on the top rows, the time below
// them, analyzer and scope side by side, the VU meter under them and, with `playlist`, the
// playlist at the bottom; every other text field off. A panel of fewer than 64 rows shows the
// title with the graphs beneath it (fitShortPanel).
#pragma once

namespace tessaranth {
class Settings;
}

namespace tessaranth::test {

void placePanelFields(Settings& s, int width, int height, bool playlist);

// A panel of fewer than 64 rows has room for the three text rows or, beneath the title (with
// `text`), the graphs with the VU meter at the bottom: places the graphs and the meter.
void fitShortPanel(Settings& s, int height, bool text);

} // namespace tessaranth::test
