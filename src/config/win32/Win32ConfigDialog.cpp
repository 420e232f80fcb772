// The Windows dialog: the Win32 view of the form, shown modally.
#include "config/TConfigForm.h"
#include "config/win32/Win32ConfigView.h"
#include "platform/ConfigDialog.h"

namespace tessaranth::platform::native {

void showConfigDialog(TConfigForm& form) {
    win32view::Win32ConfigView view(form);
    view.runModal();
}

} // namespace tessaranth::platform::native
