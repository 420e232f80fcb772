#include "controllers/ControllerTable.h"

#include "controllers/KS0108B.h"
#include "controllers/NoritakeVFD.h"
#include "controllers/SED133x.h"
#include "controllers/T6963C.h"
#include "controllers/USB2LCD.h"

#include <memory>

namespace tessaranth::drivers {

namespace {

template <class Driver>
ControllerLSI* onParallelPort(const DriverSetup& setup) {
    return new Driver(ParallelPort(std::make_unique<LptRegisters>(setup.portAddress), setup.wiring));
}

} // namespace

ControllerLSI* makeT6963C(const DriverSetup& setup) { return onParallelPort<T6963C>(setup); }
ControllerLSI* makeSED133x(const DriverSetup& setup) { return onParallelPort<SED133x>(setup); }
ControllerLSI* makeKS0108B(const DriverSetup& setup) { return onParallelPort<KS0108B>(setup); }
ControllerLSI* makeNoritakeVFD(const DriverSetup& setup) { return onParallelPort<NoritakeVFD>(setup); }
ControllerLSI* makeUSB2LCD(const DriverSetup&) { return new USB2LCD; }

} // namespace tessaranth::drivers
