#include "settings/Settings.h"

namespace tessaranth {

bool Settings::saveToFile() { return false; }
bool Settings::loadFromFile() { return false; }

} // namespace tessaranth
