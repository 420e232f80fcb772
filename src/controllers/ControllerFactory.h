#pragma once

#include <cstdint>

namespace tessaranth {

class ControllerLSI;

// The driver that a `controller` setting names, or null for a value without one.
ControllerLSI* createController(uint8_t controller);

} // namespace tessaranth
