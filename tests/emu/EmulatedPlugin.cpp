// SPDX-License-Identifier: GPL-2.0-or-later
#include "EmulatedPlugin.h"

#include "GoldenPicture.h"
#include "PanelFields.h"

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

void EmulatedPlugin::placeFields(int width, int height, bool playlist) { placePanelFields(*gSettings, width, height, playlist); }

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
