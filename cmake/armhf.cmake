# SPDX-License-Identifier: GPL-2.0-or-later
# 32-bit ARM Linux with hardware floating point (Debian armhf: 32-bit Raspberry Pi OS, Pi 2 on).
set(TESSARANTH_DEBIAN_ARCH armhf)
set(TESSARANTH_TRIPLET arm-linux-gnueabihf)
set(TESSARANTH_QEMU qemu-arm)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/DebianCross.cmake)
