// SPDX-License-Identifier: GPL-2.0-or-later
// Fields placed for a small panel of any size: title and artist on the top rows, the time below
// them, analyzer and scope side by side, the VU meter under them and, with `playlist`, the
// playlist at the bottom; every other text field off.
#pragma once

namespace tessaranth {
class Settings;
}

namespace tessaranth::test {

void placePanelFields(Settings& s, int width, int height, bool playlist);

} // namespace tessaranth::test
