// SPDX-License-Identifier: GPL-2.0-or-later
#include "PluginFixture.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

namespace tessaranth::test {

void PluginFixture::SetUp() {
    loadPlugin();
    configHome.writeRegistry(defaultRegistryText());
    VisModule& m = module();
    m.playerWindow = player.window();
    m.delayMillis = 40;
    std::fill(&m.spectrumBytes[0][0], &m.spectrumBytes[0][0] + sizeof m.spectrumBytes, uint8_t{0});
    std::fill(&m.waveformBytes[0][0], &m.waveformBytes[0][0] + sizeof m.waveformBytes, uint8_t{0});
}

void PluginFixture::TearDown() { unloadPlugin(); }

VisModule& PluginFixture::module() { return *winampVisGetHeader()->lookupModule(0); }

int32_t PluginFixture::init() {
    gSettings->saveToRegistry();
    return module().initCallback(&module());
}

int32_t PluginFixture::render(int frames) {
    int32_t result = 0;
    for (int i = 0; i < frames; ++i) result = module().renderCallback(&module());
    return result;
}

void PluginFixture::quit() { module().quitCallback(&module()); }

void PluginFixture::replaceStored(const std::string& name, const std::string& line) {
    std::string text = configHome.readRegistry();
    const std::size_t start = text.find("\n\"" + name + "\"=");
    ASSERT_NE(start, std::string::npos) << name;
    const std::size_t end = text.find('\n', start + 1);
    text.replace(start + 1, end - start, line.empty() ? "" : line + "\r\n");
    configHome.writeRegistry(text);
}

} // namespace tessaranth::test
