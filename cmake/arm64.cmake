# SPDX-License-Identifier: GPL-2.0-or-later
# 64-bit ARM Linux (Debian arm64: Raspberry Pi 3, 4, 5 and Zero 2 on a 64-bit system).
set(TESSARANTH_DEBIAN_ARCH arm64)
set(TESSARANTH_TRIPLET aarch64-linux-gnu)
set(TESSARANTH_QEMU qemu-aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/DebianCross.cmake)
