// SPDX-License-Identifier: GPL-2.0-or-later
// The faults of opening a bus's device node, in the words the user needs: the node missing
// (the bus is not enabled: how to enable it), no permission (which group to join), anything
// else with the system's reason.
#pragma once

#include "platform/BusFault.h"

namespace tessaranth::platform::posix {

struct NodeHelp {
    const char* enable;  // what makes the node appear
    const char* group;   // the group that may use it
};

void describeOpenFailure(BusFault& fault, const char* node, int error, const NodeHelp& help);
// Opens node for reading and writing; -1 with the fault filled.
int openNode(const char* node, const NodeHelp& help, BusFault& fault);

} // namespace tessaranth::platform::posix
