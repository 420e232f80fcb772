// SPDX-License-Identifier: GPL-2.0-or-later
// The Windows dialog: the Win32 view of the form, shown modally with the visual styles of the
// system.
#include "config/TConfigForm.h"
#include "config/win32/VisualStyles.h"
#include "config/win32/Win32ConfigView.h"
#include "config/ConfigDialog.h"

namespace tessaranth::config::native {

void showConfigDialog(TConfigForm& form) {
    const win32view::VisualStyles styles(win32view::moduleInstance());
    win32view::Win32ConfigView view(form);
    view.runModal();
}

void raiseConfigDialog() { win32view::Win32ConfigView::raiseOpenDialog(); }

} // namespace tessaranth::config::native
