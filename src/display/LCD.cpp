#include "display/LCD.h"

namespace tessaranth {

LCD::LCD() = default;

} // namespace tessaranth
