#include "host/WinampPlugin.h"

namespace tessaranth {

void WinampPlugin::drawPlaylist(VisModule*) {}
void WinampPlugin::clearPlaylist() {}

} // namespace tessaranth
