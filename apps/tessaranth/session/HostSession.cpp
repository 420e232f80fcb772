// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/HostSession.h"

#include <algorithm>

namespace tessaranth::host {

HostSession::HostSession(PluginLibrary& plugin, PlayerSource& player, AudioSource& audio,
                         std::function<void()> afterFrame)
    : plugin_(plugin), player_(player), audioSource_(audio), afterFrame_(std::move(afterFrame)),
      window_(player.state()) {}

HostSession::~HostSession() {
    if (started_) plugin_.module().quitCallback(&plugin_.module());
}

void HostSession::start() {
    VisModule& module = plugin_.module();
    module.playerWindow = window_.handle();
    module.sampleRate = 44100;
    module.channelCount = 2;
    player_.update(0);
    module.initCallback(&module);
    started_ = true;
}

int32_t HostSession::frame(int64_t nowMillis) {
    VisModule& module = plugin_.module();
    player_.update(nowMillis);
    audioSource_.fill(audio_, player_.state().playState == PlayState::playing);
    analysis_.analyse(audio_, module.spectrumBytes, module.waveformBytes);
    module.sampleRate = audio_.sampleRate;
    module.channelCount = audio_.channels;
    module.renderCallback(&module);
    ++frames_;
    if (afterFrame_) afterFrame_();
    return std::clamp(module.delayMillis, shortestDelayMillis, longestDelayMillis);
}

void HostSession::configure() {
    if (plugin_.module().configCallback) plugin_.module().configCallback(&plugin_.module());
}

} // namespace tessaranth::host
