// SPDX-License-Identifier: GPL-2.0-or-later
// An X server of the test's own: Xvfb on a display number it picks itself, stopped by its
// process id when the object goes.
#pragma once

#include <string>

#include <sys/types.h>

namespace tessaranth::test {

class XvfbServer {
public:
    XvfbServer();  // throws when the server does not come up within ten seconds
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace tessaranth::test
