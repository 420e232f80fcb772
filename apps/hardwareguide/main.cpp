// SPDX-License-Identifier: GPL-2.0-or-later
// hardware_guide: writes the wiring tables of docs/hardware.md from the dialog's tables, or checks
// that the committed guide still matches them.
#include "HardwareGuide.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

constexpr const char* usage = "usage: hardware_guide [--check] FILE\n"
                              "Writes the wiring tables and the Raspberry Pi header into FILE (between their markers); with --check,\n"
                              "exits with 1 when FILE's tables differ from what would be written.\n";

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::string_view(argv[1]) == "--check";
    if (argc != 2 + (check ? 1 : 0)) {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::string path = argv[argc - 1];
    std::string document;
    if (!readFile(path, document)) {
        std::fprintf(stderr, "hardware_guide: cannot read %s\n", path.c_str());
        return 2;
    }
    const auto updated = tessaranth::guide::withGeneratedSections(document);
    if (!updated) {
        std::fprintf(stderr, "hardware_guide: %s lacks the markers of the wiring tables or of the Raspberry Pi header\n", path.c_str());
        return 2;
    }
    if (check) {
        if (*updated == document) return 0;
        std::fprintf(stderr,
                     "hardware_guide: the generated tables in %s differ from the dialog's; run 'make hardware-guide' "
                     "and commit the result\n",
                     path.c_str());
        return 1;
    }
    if (*updated != document && !writeFile(path, *updated)) {
        std::fprintf(stderr, "hardware_guide: cannot write %s\n", path.c_str());
        return 2;
    }
    return 0;
}
