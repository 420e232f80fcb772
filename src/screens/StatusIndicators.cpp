#include "host/WinampPlugin.h"

namespace tessaranth {

void WinampPlugin::pollPlayState(VisModule*) {}
void WinampPlugin::drawStatusIndicators(VisModule*) {}

} // namespace tessaranth
