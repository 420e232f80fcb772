#include "controllers/ControllerFactory.h"

#include "controllers/KS0108B.h"
#include "controllers/NoritakeVFD.h"
#include "controllers/SED133x.h"
#include "controllers/T6963C.h"
#include "controllers/USB2LCD.h"

namespace tessaranth {

ControllerLSI* createController(uint8_t controller) {
    switch (controller) {
    case 0:
        return new T6963C;
    case 1:  // SED1330
    case 2:  // SED1335
        return new SED133x;
    case 3:
    case 4:  // "HD61830 (N/A)": a KS0108B display in every respect
        return new KS0108B;
    case 5:
        return new NoritakeVFD;
    case 6:
        return new USB2LCD;
    default:
        return nullptr;
    }
}

} // namespace tessaranth
