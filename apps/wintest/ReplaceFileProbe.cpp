// SPDX-License-Identifier: GPL-2.0-or-later
// replacefile: saves a text over a file with the plug-in's crash-safe save routine, for the
// tests under Wine, and prints the status it returned.
#include "platform/ReplaceFile.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: replacefile PATH TEXT\n");
        return 2;
    }
    const int32_t status = tessaranth::platform::replaceFile(argv[1], argv[2], std::strlen(argv[2]));
    std::printf("status %d\n", static_cast<int>(status));
    return 0;
}
