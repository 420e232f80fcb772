#include "controllers/ControllerFactory.h"

#include "controllers/T6963C.h"

namespace tessaranth {

ControllerLSI* createController(uint8_t controller) {
    switch (controller) {
    case 0:
        return new T6963C;
    default:
        return nullptr;
    }
}

} // namespace tessaranth
