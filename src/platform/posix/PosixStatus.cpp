// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/PosixStatus.h"

#include "platform/Errors.h"

#include <cerrno>

namespace tessaranth::platform {

int32_t statusOfErrno(int error) {
    switch (error) {
    case 0: return errorSuccess;
    case ENOENT: return errorFileNotFound;
    case ENOTDIR: return errorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return errorAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return errorDiskFull;
    default: return errorWriteFault;
    }
}

} // namespace tessaranth::platform
