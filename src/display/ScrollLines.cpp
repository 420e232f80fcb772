#include "display/LCD.h"

namespace tessaranth {

void LCD::buildScrollLine(int, const char*) {}
void LCD::eraseScrollLine(int) {}
void LCD::scrollLineStep(int, int32_t) {}

} // namespace tessaranth
