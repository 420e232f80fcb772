#include "settings/Settings.h"

namespace tessaranth {

void Settings::configure() {}

} // namespace tessaranth
