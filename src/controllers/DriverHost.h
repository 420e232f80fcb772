// What the drivers ask of the plug-in object that hosts them (WinampPlugin is one): the port's
// base address, copied from the settings at start-up and read by every port access; the
// control-line bit of a wire choice; and the emergency flag that a driver raises when it
// cannot start.
#pragma once

#include <cstdint>

namespace tessaranth {

class DriverHost {
public:
    uint16_t getPortAddress() const { return portAddress; }
    static uint8_t wireBit(int16_t choice);
    void raiseEmergencyShutdown();
    bool inEmergency() const;

    uint8_t emergencyShutdown = 0;
    uint16_t portAddress = 0;
};

} // namespace tessaranth
