#include "platform/ConfigDialog.h"

namespace tessaranth::platform {

namespace {

ConfigDialogPresenter presenter = nullptr;
void* presenterContext = nullptr;

} // namespace

void setConfigDialogPresenter(ConfigDialogPresenter newPresenter, void* context) {
    presenter = newPresenter;
    presenterContext = newPresenter ? context : nullptr;
}

void showConfigDialog(TConfigForm& form) {
    if (presenter)
        presenter(presenterContext, form);
    else
        native::showConfigDialog(form);
}

} // namespace tessaranth::platform
