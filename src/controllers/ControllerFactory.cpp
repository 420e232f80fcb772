#include "controllers/ControllerFactory.h"

#include "controllers/T6963C.h"
#include "controllers/USB2LCD.h"

namespace tessaranth {

ControllerLSI* createController(uint8_t controller) {
    switch (controller) {
    case 0:
        return new T6963C;
    case 6:
        return new USB2LCD;
    default:
        return nullptr;
    }
}

} // namespace tessaranth
