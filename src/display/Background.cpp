#include "display/LCD.h"

namespace tessaranth {

void LCD::loadBackground(const char*) {}

} // namespace tessaranth
