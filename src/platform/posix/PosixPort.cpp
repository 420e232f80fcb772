#include "platform/Platform.h"

namespace tessaranth::platform::native {

void writePort(uint16_t, uint16_t) {}
uint16_t readPort(uint16_t) { return 0; }

} // namespace tessaranth::platform::native
