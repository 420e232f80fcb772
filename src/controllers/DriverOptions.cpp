// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/DriverOptions.h"

#include "settings/Settings.h"

namespace tessaranth {

DriverOptions driverOptions(const Settings& settings) {
    return {settings.inverse() != 0, settings.interfaceTiming() != 0};
}

DriverSetup driverSetup(const Settings& settings) {
    return {settings.lptAddress(),
            {settings.wiringCS(), settings.wiringA0(), settings.wiringWR(), settings.wiringRD()},
            settings.bus()};
}

} // namespace tessaranth
