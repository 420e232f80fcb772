// SPDX-License-Identifier: GPL-2.0-or-later
// Crash-safe saving: the one way the plug-in writes a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessaranth::platform {

// Replaces the file at path with size bytes of data, so that a crash, a power cut or a full
// disk at any moment leaves either the old file or the new one, whole. The bytes go to a
// temporary file in the target's folder; every write is checked; the file is flushed to the
// medium and only then renamed over the target (and the rename itself flushed). On failure the
// temporary file is removed and the target is as it was. The target's folder must exist.
// Returns errorSuccess or the failure as a Win32 status code (platform/Errors.h).
int32_t replaceFile(const char* path, const void* data, std::size_t size);

// For the backends: the temporary file's path, "<target>.<process>-<serial>.tmp". The target's
// file name is cut where the name would pass maxName characters or the path maxPath, so that a
// target with a name at the system's limit can still be saved.
std::string temporaryPathFor(const std::string& target, unsigned long process, unsigned long serial,
                             std::size_t maxName, std::size_t maxPath);

// For the backends: whether name, a file name in the target's folder, is one that
// temporaryPathFor gives the target with the same limits; process receives the process that
// made it.
bool isTemporaryNameFor(const std::string& target, const std::string& name, std::size_t maxName,
                        std::size_t maxPath, unsigned long& process);

} // namespace tessaranth::platform
