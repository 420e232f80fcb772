#include "config/TConfigForm.h"
#include "platform/ConfigDialog.h"
#include "settings/Settings.h"

namespace tessaranth {

// One opening of the dialog: the form loads the stored settings and fills itself when it is
// created, is filled once more, shown modally and destroyed. Saving is left to its buttons.
void Settings::configure() {
    TConfigForm form;
    form.fill();
    platform::showConfigDialog(form);
}

} // namespace tessaranth
