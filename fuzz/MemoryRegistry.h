// SPDX-License-Identifier: GPL-2.0-or-later
// The registry of the fuzz targets: one key, kept parsed in memory, so that a target can load and
// save settings thousands of times a second. Opening, reading and storing values behave as the
// Linux registry file does, without the file: nothing is read, written or synced.
#pragma once

#include <string>
#include <string_view>

namespace tessaranth::fuzz {

// Replaces the registry with the key that a registry file of this text holds (none when the
// text is not a REGEDIT4 file). keyName: the key as the file names it.
void setRegistryText(const std::string& keyName, std::string_view text);

} // namespace tessaranth::fuzz
