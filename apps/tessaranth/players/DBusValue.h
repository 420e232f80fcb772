// Turns what QtDBus hands over (a basic value, a variant, a string list, a byte array, or a
// QDBusArgument holding an array, a structure or a dictionary of anything) into an MprisValue.
#pragma once

#include "players/MprisValue.h"

class QVariant;

namespace tessaranth::host {

MprisValue mprisValueOf(const QVariant& value);

} // namespace tessaranth::host
