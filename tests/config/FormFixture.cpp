// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormFixture.h"

#include "globals/Globals.h"

#include <cstring>

namespace tessaranth::test {

bool RecordingView::choosePicture(const char* title, const char* filter, char* path, std::size_t size) {
    pictureRequests.push_back(std::string(title) + "|" + filter);
    if (picture.empty()) return false;
    const std::size_t length = std::min(picture.size(), size - 1);
    std::memcpy(path, picture.data(), length);
    path[length] = '\0';
    return true;
}

void FormFixture::SetUp() {
    PluginFixture::SetUp();
    form = std::make_unique<TConfigForm>();
    form->attach(&view);
    clearRequests();
}

void FormFixture::click(const char* name) {
    const int box = control(name);
    if (!state(name).enabled) return;
    form->checkBoxToggled(box, !state(name).checked);
    form->checkBoxMouseUp(box);
}

Requests FormFixture::requests() const {
    const WinampPlugin& p = *gPlugin;
    return {p.backgroundReloadPending != 0, p.analyzerTextClearPending != 0, p.analyzerGraphicsClearPending != 0,
            p.scopeTextClearPending != 0,   p.scopeGraphicsClearPending != 0, p.vuClearPending != 0,
            p.playlistClearPending != 0,    p.playlistRedrawPending != 0};
}

void FormFixture::clearRequests() {
    WinampPlugin& p = *gPlugin;
    p.backgroundReloadPending = p.analyzerTextClearPending = p.analyzerGraphicsClearPending = 0;
    p.scopeTextClearPending = p.scopeGraphicsClearPending = p.vuClearPending = 0;
    p.playlistClearPending = p.playlistRedrawPending = 0;
}

} // namespace tessaranth::test
