// SPDX-License-Identifier: GPL-2.0-or-later
// Showing the configuration form: the Qt dialog on Linux, the Win32 dialog on Windows. A host
// or a test may put its own presenter in their place.
#pragma once

namespace tessaranth {
class TConfigForm;
}

namespace tessaranth::config {

using ConfigDialogPresenter = void (*)(void* context, TConfigForm& form);

// Registers the presenter (null restores the platform's dialog).
void setConfigDialogPresenter(ConfigDialogPresenter presenter, void* context);

// Shows the form modally at its place on the screen and returns when it is closed.
void showConfigDialog(TConfigForm& form);

// One dialog at a time, on any thread. beginConfigDialog is false while another opening is
// under way (from its start, before the form loads the stored settings, to its end); it then
// brings the open dialog to the front. Each true is followed by one endConfigDialog.
bool beginConfigDialog();
void endConfigDialog();

// The platform's dialog (config/qt, config/win32).
namespace native {
void showConfigDialog(TConfigForm& form);
// Brings the open dialog to the front.
void raiseConfigDialog();
} // namespace native

// One opening of the dialog, as the plug-in's Config asks for it.
void openConfigDialog();

} // namespace tessaranth::config
