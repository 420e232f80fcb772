# SPDX-License-Identifier: GPL-2.0-or-later
# Cross build for another Debian architecture with Debian's cross toolchain (g++-<triplet>) and the
# architecture's own libraries installed side by side (dpkg --add-architecture; lib*-dev:<arch>).
# The architecture's file (arm64.cmake, armhf.cmake) sets TESSARANTH_DEBIAN_ARCH, the GNU triplet
# TESSARANTH_TRIPLET, CMAKE_SYSTEM_PROCESSOR and the qemu-user program TESSARANTH_QEMU, then
# includes this one.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TESSARANTH_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TESSARANTH_TRIPLET}-g++)
set(PKG_CONFIG_EXECUTABLE ${TESSARANTH_TRIPLET}-pkg-config)

# Libraries and CMake package files come from the architecture's multiarch folders
# (/usr/lib/<triplet>), headers from /usr/include; programs (moc, pkg-config) are the machine's own.
set(CMAKE_LIBRARY_ARCHITECTURE ${TESSARANTH_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# Programs built here (test discovery, the manual page from the program's help, the tests) run
# under qemu-user with the target's loader and C library.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSARANTH_QEMU} -L /usr/${TESSARANTH_TRIPLET} CACHE STRING
    "The command that runs a program built here")

# The Debian package is for that architecture.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TESSARANTH_DEBIAN_ARCH})
