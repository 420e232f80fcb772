// SPDX-License-Identifier: GPL-2.0-or-later
// The standard file-open and file-save dialogs. The core asks through chooseOpenFile and
// chooseSaveFile; whoever can show a dialog (the Qt or Win32 views, a test) registers a handler.
// Without a handler every request answers "cancelled".
#pragma once

#include <cstddef>

namespace tessaranth::platform {

enum class FileDialogKind { open, save };

struct FileDialogRequest {
    FileDialogKind kind;
    const char* title;             // e.g. "Load Tessaranth configuration"
    const char* filter;            // description|pattern pairs: "Tessaranth configuration (*.tzn)|*.tzn"
    const char* defaultExtension;  // appended to a typed name without one, e.g. ".tzn"
};

// Writes the chosen path into path (size bytes) and returns true, or returns false when the
// user cancelled. A handler may leave the path unterminated or empty; the callers below bound it.
using FileDialogHandler = bool (*)(void* context, const FileDialogRequest& request, char* path,
                                   std::size_t size);

// Registers the handler (null restores the default that always cancels).
void setFileDialogHandler(FileDialogHandler handler, void* context);

// True with a NUL-terminated, non-empty path when the user chose a file; false (and an empty
// path) when the user cancelled or the path does not fit.
bool chooseOpenFile(const char* title, const char* filter, const char* defaultExtension, char* path,
                    std::size_t size);
bool chooseSaveFile(const char* title, const char* filter, const char* defaultExtension, char* path,
                    std::size_t size);

} // namespace tessaranth::platform
