#include "controllers/ControllerFactory.h"

namespace tessaranth {

ControllerLSI* createController(uint8_t) {
    return nullptr;  // the drivers join here as they are built
}

} // namespace tessaranth
