// SPDX-License-Identifier: GPL-2.0-or-later
// The bus tests run their device code against nodes that umockdev emulates, which needs its
// preload library in the process from the start: the program starts itself again under
// umockdev-wrapper when it is not there yet.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

bool underUmockdev() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

} // namespace

int main(int argc, char** argv) {
    if (!underUmockdev()) {
        std::vector<char*> arguments{const_cast<char*>("umockdev-wrapper"), const_cast<char*>("/proc/self/exe")};
        char self[4096] = {};
        if (readlink("/proc/self/exe", self, sizeof self - 1) > 0) arguments[1] = self;
        for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);
        arguments.push_back(nullptr);
        execvp(arguments[0], arguments.data());
        std::perror("umockdev-wrapper (install umockdev: make setup)");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
