// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "tessaranth/plugin_abi.h"

namespace tessaranth {

// The DLL entry routine's work: the header's description text, built anew on every call.
void runEntryRoutine();
// The one module record the header leads to.
VisModule& moduleRecord();

} // namespace tessaranth

#if !defined(_WIN32)
// The entry point's second name: the same function (the DLL's .def file gives it on Windows).
extern "C" TESSARANTH_EXPORT VisHeader* _winampVisGetHeader(void);
#endif
