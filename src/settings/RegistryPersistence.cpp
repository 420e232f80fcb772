#include "settings/Settings.h"

namespace tessaranth {

bool Settings::loadFromRegistry() { return false; }
bool Settings::saveToRegistry() { return false; }

} // namespace tessaranth
