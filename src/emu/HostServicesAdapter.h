// SPDX-License-Identifier: GPL-2.0-or-later
// Puts a virtual display behind the plug-in's host services: port reads and writes, the four
// USB calls, I2C messages, SPI transfers and GPIO lines reach the display, so the plug-in drives
// it through its public interface and never the machine's own buses.
#pragma once

#include "emu/VirtualDisplay.h"
#include "tessaranth/plugin_abi.h"

#include <cstdint>
#include <functional>

namespace tessaranth::emu {

class HostServicesAdapter {
public:
    explicit HostServicesAdapter(VirtualDisplay& display) : display_(display) {}
    HostServicesAdapter(const HostServicesAdapter&) = delete;
    HostServicesAdapter& operator=(const HostServicesAdapter&) = delete;

    // The record for tessaranthSetHostServices. It points back at this adapter, which must
    // outlive its use. Message boxes and sleeps go to the hooks below when they are set, and
    // otherwise stay the plug-in's own.
    TessaranthHostServices services();

    std::function<int32_t(const char* text, const char* caption, uint32_t style)> messageBox;
    std::function<void(uint32_t milliseconds)> sleep;

    VirtualDisplay& display() { return display_; }

private:
    VirtualDisplay& display_;
};

} // namespace tessaranth::emu
