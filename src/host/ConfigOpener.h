// SPDX-License-Identifier: GPL-2.0-or-later
// How the plug-in's Config opens the configuration dialog. The host layer owns the opener; the
// dialog's own layer puts its opener in when the plug-in is loaded, and a host without a dialog
// leaves it empty.
#pragma once

namespace tessaranth {

using ConfigOpener = void (*)();

void setConfigOpener(ConfigOpener opener);

// Runs the opener, if there is one.
void openConfig();

} // namespace tessaranth
