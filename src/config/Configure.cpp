// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/ConfigDialog.h"
#include "config/TConfigForm.h"
#include "host/ConfigOpener.h"

namespace tessaranth::config {

// One opening of the dialog: the form loads the stored settings and fills itself when it is
// created, is filled once more, shown modally and destroyed. Saving is left to its buttons.
// While a dialog is open, Config only brings it to the front: a second form would reload the
// record under the first one's feet.
void openConfigDialog() {
    if (!beginConfigDialog()) return;
    {
        TConfigForm form;
        form.fill();
        showConfigDialog(form);
    }
    endConfigDialog();
}

namespace {

// The plug-in's Config opens this dialog from the start on.
const bool opener = (setConfigOpener(openConfigDialog), true);

} // namespace

} // namespace tessaranth::config
