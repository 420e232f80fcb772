// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/ConfigDialog.h"

#include <atomic>

namespace tessaranth::config {

namespace {

ConfigDialogPresenter presenter = nullptr;
void* presenterContext = nullptr;
std::atomic<bool> dialogOpen{false};

} // namespace

void setConfigDialogPresenter(ConfigDialogPresenter newPresenter, void* context) {
    presenter = newPresenter;
    presenterContext = newPresenter ? context : nullptr;
}

bool beginConfigDialog() {
    if (!dialogOpen.exchange(true)) return true;
    if (!presenter) native::raiseConfigDialog();
    return false;
}

void endConfigDialog() { dialogOpen = false; }

void showConfigDialog(TConfigForm& form) {
    if (presenter)
        presenter(presenterContext, form);
    else
        native::showConfigDialog(form);
}

} // namespace tessaranth::config
