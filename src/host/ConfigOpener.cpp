// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/ConfigOpener.h"

namespace tessaranth {

namespace {

ConfigOpener currentOpener = nullptr;

} // namespace

void setConfigOpener(ConfigOpener opener) { currentOpener = opener; }

void openConfig() {
    if (currentOpener) currentOpener();
}

} // namespace tessaranth
