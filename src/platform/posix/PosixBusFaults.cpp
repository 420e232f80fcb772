// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/PosixBusFaults.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace tessaranth::platform::posix {

void describeOpenFailure(BusFault& fault, const char* node, int error, const NodeHelp& help) {
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        fault.set("no %s: %s", node, help.enable);
    else if (error == EACCES || error == EPERM)
        fault.set("permission denied on %s: join the %s group (sudo usermod -aG %s \"$USER\", then log in again)",
                  node, help.group, help.group);
    else
        fault.set("cannot open %s (%s)", node, std::strerror(error));
}

int openNode(const char* node, const NodeHelp& help, BusFault& fault) {
    const int fd = ::open(node, O_RDWR | O_CLOEXEC);
    if (fd < 0) describeOpenFailure(fault, node, errno, help);
    return fd;
}

} // namespace tessaranth::platform::posix
