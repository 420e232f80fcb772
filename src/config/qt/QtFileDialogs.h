// SPDX-License-Identifier: GPL-2.0-or-later
// Qt's file dialogs behind the platform's file-dialog seam, and the helpers the picture
// dialog shares with them.
#pragma once

#include "platform/FileDialogs.h"

#include <QString>

#include <cstddef>

namespace tessaranth::qtview {

// The standard open and save dialogs, without an owner: the open dialog accepts a name that
// does not exist, the save dialog replaces a file without asking.
bool showFileDialog(void* context, const platform::FileDialogRequest& request, char* path, std::size_t size);

// Converts a filter of "description|pattern" pairs into Qt's "description (pattern);;..." form.
QString qtFilter(const char* filter);

// Copies the file's native path, NUL-terminated; false when it is empty or does not fit.
bool copyPath(const QString& file, char* path, std::size_t size);

} // namespace tessaranth::qtview
