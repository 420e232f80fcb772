// SPDX-License-Identifier: GPL-2.0-or-later
// The plug-in's version text: the record's default `version`, the registry's "Version" guard,
// the header's description and the dialog's About page.
#pragma once

namespace tessaranth {

inline constexpr char pluginVersion[] = "v0.9.3 beta";

} // namespace tessaranth
