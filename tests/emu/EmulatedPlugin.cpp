// SPDX-License-Identifier: GPL-2.0-or-later
#include "EmulatedPlugin.h"

#include "GoldenPicture.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

#include <cmath>

namespace tessaranth::test {

void EmulatedPlugin::TearDown() {
    PluginFixture::TearDown();
    host.install();
}

void EmulatedPlugin::attachDisplay(const emu::DisplaySetup& setup) {
    std::string error;
    display = emu::VirtualDisplay::create(setup, &error);
    ASSERT_NE(display, nullptr) << error;
    adapter = std::make_unique<emu::HostServicesAdapter>(*display);
    adapter->messageBox = [this](const char* text, const char* caption, uint32_t) {
        boxes.push_back(std::string(caption) + ": " + text);
        return 1;
    };
    adapter->sleep = [this](uint32_t milliseconds) { sleptMillis += milliseconds; };
    services_ = adapter->services();
    tessaranthSetHostServices(&services_);

    Settings& s = *gSettings;
    s.setController(setup.controller);
    s.setDisplayFormat(setup.displayFormat);
    s.setWiringCS(setup.wiringCS);
    s.setWiringA0(setup.wiringA0);
    s.setWiringWR(setup.wiringWR);
    s.setWiringRD(setup.wiringRD);
    s.setLptAddress(setup.lptAddress);
    const emu::DisplaySize size = emu::VirtualDisplay::sizeOfFormat(setup.displayFormat);
    placeFields(size.width, size.height, size.height >= 128);
}

void EmulatedPlugin::placeFields(int width, int height, bool playlist) {
    Settings& s = *gSettings;
    const int columns = width / 6;
    const int half = columns / 2;
    for (auto show : {&Settings::setShowTrack, &Settings::setShowSamplerate, &Settings::setShowBitrate,
                      &Settings::setShowTrackinfo, &Settings::setShowStatus, &Settings::setShowRepeat,
                      &Settings::setShowShuffle, &Settings::setShowModelEngine})
        (s.*show)(0);
    s.setShowTitle(1);
    s.setTitleX(0);
    s.setTitleY(0);
    s.setTitleLength(static_cast<uint32_t>(columns));
    s.setScrollTitle(0);
    s.setShowArtist(1);
    s.setArtistX(0);
    s.setArtistY(1);
    s.setArtistLength(static_cast<uint32_t>(columns));
    s.setScrollArtist(0);
    s.setShowTime(1);
    s.setTimeX(0);
    s.setTimeY(2);
    const int graphTop = 24;
    const int graphHeight = playlist ? height / 2 - 32 : height - 40;
    s.setShowAnalyzer(1);
    s.setAnalyzerX(0);
    s.setAnalyzerY(static_cast<uint32_t>(graphTop));
    s.setAnalyzerWidth(static_cast<uint32_t>(half - 1));
    s.setAnalyzerHeight(static_cast<uint32_t>(graphHeight));
    s.setShowScope(1);
    s.setScopeX(static_cast<uint32_t>(half));
    s.setScopeY(static_cast<uint32_t>(graphTop));
    s.setScopeWidth(static_cast<uint32_t>(columns - half));
    s.setScopeHeight(static_cast<uint32_t>(graphHeight));
    s.setShowVUMeter(1);
    s.setVuMeterX(0);
    s.setVuMeterY(static_cast<uint32_t>(graphTop + graphHeight + 4));
    s.setVuMeterWidth(static_cast<uint32_t>(columns));
    s.setVuMeterHeight(playlist ? 12 : 8);
    s.setShowPlaylist(playlist ? 1 : 0);
    const int playlistRow = (graphTop + graphHeight + 16) / 8;
    s.setPlaylistX(0);
    s.setPlaylistY(static_cast<uint32_t>(playlistRow));
    s.setPlaylistWidth(static_cast<uint32_t>(columns));
    s.setPlaylistHeight(static_cast<uint32_t>(height / 8 - playlistRow));
}

void EmulatedPlugin::playStandardTrack() {
    player.windowTitle = "3. Marla Voss - Northern Lights - Winamp";
    player.positionMillis = 83000;
    player.lengthSeconds = 245;
    player.listLength = 12;
    player.listPosition = 2;
    player.fileNames = {"C:\\Music\\Ada Pell - Morning.mp3", "C:\\Music\\Ion Brask - Tides.mp3",
                        "C:\\Music\\Marla Voss - Northern Lights.mp3", "C:\\Music\\The Quiet Hours - Ember.mp3",
                        "C:\\Music\\Sef Arani - Open Water.mp3", "C:\\Music\\Lumen Drift - Glass.mp3"};
    VisModule& m = module();
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < VIS_SPECTRUM_ENTRIES; ++i) {
            const double falling = 230.0 * std::exp(-i / 140.0);
            const double ripple = 0.6 + 0.4 * std::sin(i / 9.0 + channel);
            m.spectrumBytes[channel][i] = static_cast<uint8_t>(falling * ripple);
            const double sample = 100.0 * std::sin(i * 2.0 * M_PI / 96.0 + channel * 0.5);
            m.waveformBytes[channel][i] = static_cast<uint8_t>(static_cast<int8_t>(sample));
        }
}

void EmulatedPlugin::expectGolden(const std::string& name) {
    ASSERT_NE(display, nullptr);
    expectGoldenPicture(*display, name);
}

void expectUnderstood(const emu::VirtualDisplay& display) {
    EXPECT_TRUE(display.problems().empty()) << display.description() << " did not understand:\n" << display.problems().text();
}

void EmulatedPlugin::expectNoProblems() {
    ASSERT_NE(display, nullptr);
    expectUnderstood(*display);
}

} // namespace tessaranth::test
