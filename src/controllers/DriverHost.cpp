#include "controllers/DriverHost.h"

#include "settings/Settings.h"

namespace tessaranth {

uint8_t DriverHost::wireBit(int16_t choice) {
    return choice >= 0 && choice <= 3 ? static_cast<uint8_t>(1u << choice) : 0;
}

void DriverHost::raiseEmergencyShutdown() { relaxedStore(emergencyShutdown, uint8_t{1}); }

bool DriverHost::inEmergency() const { return relaxedLoad(emergencyShutdown) != 0; }

} // namespace tessaranth
