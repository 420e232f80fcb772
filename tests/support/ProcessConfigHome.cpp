// SPDX-License-Identifier: GPL-2.0-or-later
// Every test of this program runs with XDG_CONFIG_HOME pointing at a temporary folder, also
// those that load the plug-in without a fixture.
#include "ConfigHome.h"

namespace tessaranth::test {
namespace {

const TemporaryConfigHome processConfigHome;

} // namespace
} // namespace tessaranth::test
