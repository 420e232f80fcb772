#include "config/TConfigForm.h"
#include "platform/ConfigDialog.h"
#include "settings/Settings.h"

namespace tessaranth {

// One opening of the dialog: the form loads the stored settings and fills itself when it is
// created, is filled once more, shown modally and destroyed. Saving is left to its buttons.
// While a dialog is open, Config only brings it to the front: a second form would reload the
// record under the first one's feet.
void Settings::configure() {
    if (!platform::beginConfigDialog()) return;
    {
        TConfigForm form;
        form.fill();
        platform::showConfigDialog(form);
    }
    platform::endConfigDialog();
}

} // namespace tessaranth
