// SPDX-License-Identifier: GPL-2.0-or-later
// The plug-in with a fake player, driving a virtual display through its host services; and the
// golden PNG files that guard what each display shows (see GoldenPicture.h).
#pragma once

#include "PluginFixture.h"
#include "emu/HostServicesAdapter.h"
#include "emu/VirtualDisplay.h"

#include <memory>
#include <string>
#include <vector>

namespace tessaranth::test {

// Fails the current test with the problem log when the display met anything it did not understand.
void expectUnderstood(const emu::VirtualDisplay& display);

class EmulatedPlugin : public PluginFixture {
protected:
    void TearDown() override;

    // Builds the display the settings name and installs it behind the host services, with every
    // field of the standard scene placed for its size. Call before init().
    void attachDisplay(const emu::DisplaySetup& setup);
    // A playing track with a rich spectrum and a sine on both channels, the same in every run.
    void playStandardTrack();
    // Compares what the display shows with tests/golden/<name>.png (or writes it).
    void expectGolden(const std::string& name);
    // Fails the test with the problem log when the emulator met anything it did not understand.
    void expectNoProblems();

    // placePanelFields() on the plug-in's settings.
    void placeFields(int width, int height, bool playlist);

    std::unique_ptr<emu::VirtualDisplay> display;
    std::unique_ptr<emu::HostServicesAdapter> adapter;
    std::vector<std::string> boxes;
    uint32_t sleptMillis = 0;

private:
    TessaranthHostServices services_{};
};

} // namespace tessaranth::test
