// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/PlayerWindow.h"

#include <algorithm>
#include <cstring>

namespace tessaranth::host {

PlayerWindow::PlayerWindow(const PlayerState& state) : state_(state) {
    title_.reserve(512);
    window_.context = this;
    window_.sendMessage = [](void* context, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return static_cast<PlayerWindow*>(context)->sendMessage(message, wParam, lParam);
    };
    window_.getWindowText = [](void* context, char* buffer, int32_t size) {
        return static_cast<PlayerWindow*>(context)->getWindowText(buffer, size);
    };
}

intptr_t PlayerWindow::sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == message::user) return answerUser(wParam, lParam);
    if (message == message::command && wParam == message::closeCommand) closeRequested_ = true;
    return 0;
}

intptr_t PlayerWindow::answerUser(uintptr_t wParam, intptr_t lParam) const {
    const PlayerState& s = state_;
    switch (lParam) {
    case message::playState: return static_cast<intptr_t>(s.playState);
    case message::shuffle: return s.shuffle ? 1 : 0;
    case message::repeat: return s.repeat ? 1 : 0;
    case message::time: return wParam == 0 ? s.positionMillis : wParam == 1 ? s.lengthSeconds : -1;
    case message::audioInfo:
        // A stopped player has no stream, so no samplerate and no bitrate.
        if (wParam < 2 && s.playState == PlayState::stopped) return 0;
        if (wParam == 0) return s.sampleRate / 1000;
        if (wParam == 1) return s.bitrate;
        return wParam == 2 ? s.channels : 0;
    case message::listLength: return s.listLength();
    case message::listPosition: return s.listLength() == 0 ? 0 : s.current;
    case message::fileName: {
        const PlaylistEntry* entry = wParam <= INT32_MAX ? s.entry(static_cast<int64_t>(wParam)) : nullptr;
        return entry ? reinterpret_cast<intptr_t>(entry->fileName.c_str()) : 0;
    }
    default: return 0;
    }
}

const std::string& PlayerWindow::title() {
    title_.clear();
    const PlaylistEntry* entry = state_.currentEntry();
    if (!entry) {
        title_ = "Winamp";
        return title_;
    }
    title_ += std::to_string(state_.current + 1);
    title_ += ". ";
    if (!entry->artist.empty()) {
        title_ += entry->artist;
        title_ += " - ";
    }
    title_ += entry->title;
    title_ += " - Winamp";
    if (state_.playState == PlayState::paused) title_ += " [Paused]";
    if (state_.playState == PlayState::stopped) title_ += " [Stopped]";
    return title_;
}

int32_t PlayerWindow::getWindowText(char* buffer, int32_t size) {
    if (!buffer || size <= 0) return 0;
    const std::string& text = title();
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int32_t>(length);
}

} // namespace tessaranth::host
