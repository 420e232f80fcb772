#include "host/WinampPlugin.h"

namespace tessaranth {

void WinampPlugin::refreshTrackInfo(VisModule*) {}
void WinampPlugin::drawTextFields(VisModule*) {}

} // namespace tessaranth
