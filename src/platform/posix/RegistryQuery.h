// SPDX-License-Identifier: GPL-2.0-or-later
// What RegQueryValueExA does with a value of a key kept in a RegistryFile, for every registry
// backend that keeps one.
#pragma once

#include "platform/posix/RegistryFile.h"

#include <cstdint>

namespace tessaranth::platform {

// The value's type, and its bytes when they fit: size passes the buffer size in and the value's
// size out; a value larger than the buffer fails with errorMoreData and writes nothing; a null
// data pointer only asks for the size. errorFileNotFound when the key has no such value.
int32_t queryValue(const RegistryFile& file, const char* name, uint32_t& type, uint8_t* data, uint32_t& size);

} // namespace tessaranth::platform
