// SPDX-License-Identifier: GPL-2.0-or-later
// Writes everything the plug-in sends to its display to a text file, one line each, in hex but
// for GPIO line numbers and levels, and passes each call on to the services behind it:
//   W <port> <value>          a port write           R <port>                  a port read
//   U <bytes>                 a USB write
//   I <address> <bytes>       one I2C message to the 7-bit address (the control byte first)
//   S <D/C> <bytes>           one SPI transfer, with the D/C level (0 command, 1 data)
//   S reset <microseconds>    the SPI display's reset line pulsed low for that long (decimal)
//   G <chip> <line> <level>   a GPIO line set to 0 or 1 (decimal line offset): each line at
//                             its first level when the lines are taken, then at every change
// A bus with nothing behind it takes the calls and does nothing, so the plug-in never drives
// the machine's own devices behind the trace's back.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tessaranth::host {

class PortTrace {
public:
    // Opens (truncates) the file; check isOpen(). inner: the services that do the work.
    PortTrace(const std::string& path, const TessaranthHostServices& inner);
    ~PortTrace();
    PortTrace(const PortTrace&) = delete;
    PortTrace& operator=(const PortTrace&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The services to install in the plug-in: the inner ones with every access written down.
    const TessaranthHostServices& services() const { return services_; }

private:
    // The lines of one GPIO request and the levels they were last set to.
    struct GpioLines {
        std::string chip;
        std::vector<uint32_t> lines;
        uint64_t levels = 0;
    };

    static PortTrace& self(void* context) { return *static_cast<PortTrace*>(context); }
    void passOnPortAndUsb();
    void traceBuses();
    void traceGpio();
    // " 3C 00 AE" and the line's end.
    void writeBytes(const uint8_t* data, uint32_t length);
    void writeLineChanges(const GpioLines& request, uint64_t levels, uint64_t mask);

    std::FILE* file_;
    TessaranthHostServices inner_;
    TessaranthHostServices services_;
    std::map<int32_t, uint8_t> i2cAddresses_;  // by handle
    std::map<int32_t, GpioLines> gpio_;         // by handle
    int32_t ownHandles_ = 0;                    // the handles given while nothing is behind
};

} // namespace tessaranth::host
