// A Linux plug-in built without Qt has no dialog: Config says how to set up without one.
#include "platform/ConfigDialog.h"
#include "platform/Platform.h"

namespace tessaranth::platform::native {

void showConfigDialog(TConfigForm&) {
    messageBox("The configuration dialog is not installed: install tessaranth-dialog, or use\n"
               "tessaranth config --set NAME=VALUE",
               "Tessaranth", mbIconWarning);
}

void raiseConfigDialog() {}

} // namespace tessaranth::platform::native
