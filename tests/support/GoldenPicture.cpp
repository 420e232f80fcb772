// SPDX-License-Identifier: GPL-2.0-or-later
#include "GoldenPicture.h"

#include "emu/RgbImage.h"
#include "emu/TerminalImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace tessaranth::test {

namespace {

constexpr int kGoldenScale = 3;

bool updatingGoldens() {
    const char* value = std::getenv("TESSARANTH_UPDATE_GOLDEN");
    return value && *value && std::string(value) != "0";
}

int differingPixels(const emu::RgbImage& a, const emu::RgbImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) == b.pixel(x, y) ? 0 : 1;
    return count;
}

void expectGolden(const emu::ScreenImage& screen, const emu::PanelLook& look, const std::string& name) {
    const emu::RgbImage image = emu::RgbImage::render(screen, look, kGoldenScale);
    const std::string golden = std::string(TESSARANTH_GOLDEN_DIR) + "/" + name + ".png";
    if (updatingGoldens()) {
        ASSERT_TRUE(image.writePng(golden)) << "cannot write " << golden;
        std::printf("golden written: %s\n", golden.c_str());
        return;
    }
    const std::optional<emu::RgbImage> expected = emu::RgbImage::readPng(golden);
    const std::string actual = (std::filesystem::path(::testing::TempDir()) / (name + ".actual.png")).string();
    if (!expected || !(*expected == image)) {
        image.writePng(actual);
        const bool sameSize = expected && expected->width() == image.width() && expected->height() == image.height();
        ADD_FAILURE() << (expected ? "the display differs from " : "no golden file ") << golden
                      << (!expected ? "" : sameSize ? " (" + std::to_string(differingPixels(*expected, image)) + " pixels differ)" : " (size differs)")
                      << "; what it shows is in " << actual << ":\n"
                      << emu::terminalImage(screen);
    }
}

} // namespace

void expectGoldenPicture(const emu::VirtualDisplay& display, const std::string& name) {
    expectGolden(display.screen(), display.look(), name);
}

void expectGoldenPicture(const emu::Emulator& chip, const std::string& name) { expectGolden(chip.screen(), chip.look(), name); }

} // namespace tessaranth::test
