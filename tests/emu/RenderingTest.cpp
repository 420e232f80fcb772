// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/RgbImage.h"
#include "emu/TerminalImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tessaranth::emu {
namespace {

ScreenImage diagonal() {
    ScreenImage image(3, 3);
    image.setPixel(0, 0, true);
    image.setPixel(1, 1, true);
    image.setPixel(2, 2, true);
    return image;
}

std::string temporaryPath(const std::string& name) {
    return (std::filesystem::path(::testing::TempDir()) / name).string();
}

TEST(EmuScreenImageTest, PixelsOutsideAreDarkAndIgnoreWrites) {
    ScreenImage image(4, 2);
    image.setPixel(4, 0, true);
    image.setPixel(-1, 1, true);
    EXPECT_EQ(image.litCount(), 0);
    EXPECT_FALSE(image.pixel(0, 2));
    image.setPixel(3, 1, true);
    EXPECT_TRUE(image.pixel(3, 1));
}

TEST(EmuScreenImageTest, LevelsAreClampedAndAnyLevelAboveZeroIsLit) {
    ScreenImage image(3, 1);
    image.setLevel(0, 0, 40);
    image.setLevel(1, 0, 1);
    image.setLevel(2, 0, -3);
    EXPECT_EQ(image.level(0, 0), ScreenImage::kFullLevel);
    EXPECT_TRUE(image.pixel(1, 0));
    EXPECT_EQ(image.level(2, 0), 0);
    EXPECT_EQ(image.litCount(), 2);
}

TEST(EmuPanelLookTest, OledsGlowBrighterWithLevelAndCurrentAndTwoColourPanelsAreYellowOnTop) {
    for (PanelKind kind : {PanelKind::OledWhite, PanelKind::OledBlue, PanelKind::OledYellow, PanelKind::OledYellowBlue}) {
        const PanelLook look{kind, 1.0};
        int previous = -1;
        for (int level = 0; level <= ScreenImage::kFullLevel; ++level) {
            const Rgb colour = look.colourOf(level, 40);
            EXPECT_GT(colour.red + colour.green + colour.blue, previous) << "level " << level;
            previous = colour.red + colour.green + colour.blue;
        }
        EXPECT_EQ(look.colourOf(0, 40), look.unlitColour());
        EXPECT_EQ(look.colourOf(ScreenImage::kFullLevel, 40), look.litColour());
        const Rgb dim = PanelLook{kind, 0.25}.litColour();
        EXPECT_LT(dim.red + dim.green + dim.blue, previous);
    }
    const PanelLook twoColour{PanelKind::OledYellowBlue};
    const Rgb top = twoColour.colourOf(ScreenImage::kFullLevel, PanelLook::kYellowRows - 1);
    const Rgb below = twoColour.colourOf(ScreenImage::kFullLevel, PanelLook::kYellowRows);
    EXPECT_GT(top.red, top.blue);
    EXPECT_GT(below.blue, below.red);
    EXPECT_GT(PanelLook{PanelKind::StnBlue}.litColour().red, PanelLook{PanelKind::StnBlue}.unlitColour().red) << "light dots on blue";
}

TEST(EmuRgbImageTest, GreyLevelsRenderBetweenTheUnlitAndTheLitColour) {
    ScreenImage image(3, 1);
    image.setLevel(1, 0, 7);
    image.setLevel(2, 0, ScreenImage::kFullLevel);
    const PanelLook look{PanelKind::OledWhite, 0.5};
    const RgbImage rgb = RgbImage::render(image, look, 1);
    EXPECT_EQ(rgb.pixel(0, 0), look.unlitColour());
    EXPECT_EQ(rgb.pixel(1, 0), look.colourOf(7, 0));
    EXPECT_EQ(rgb.pixel(2, 0), look.litColour());
    EXPECT_GT(rgb.pixel(1, 0).green, look.unlitColour().green);
    EXPECT_LT(rgb.pixel(1, 0).green, look.litColour().green);
}

TEST(EmuRgbImageTest, ScaleOneAndTwoFillWholeSquaresInThePanelColours) {
    const PanelLook look{PanelKind::LcdGreen};
    const RgbImage small = RgbImage::render(diagonal(), look, 1);
    EXPECT_EQ(small.width(), 3);
    EXPECT_EQ(small.pixel(1, 1), look.litColour());
    EXPECT_EQ(small.pixel(1, 0), look.unlitColour());
    const RgbImage doubled = RgbImage::render(diagonal(), look, 2);
    EXPECT_EQ(doubled.width(), 6);
    EXPECT_EQ(doubled.pixel(3, 3), look.litColour());
    EXPECT_EQ(doubled.pixel(2, 2), look.litColour());
    EXPECT_EQ(doubled.pixel(2, 1), look.unlitColour());
    EXPECT_EQ(doubled.pixel(1, 2), look.unlitColour());
}

TEST(EmuRgbImageTest, FromScaleThreeDotsArePartedByAGap) {
    const PanelLook look{PanelKind::LcdBlue};
    const RgbImage image = RgbImage::render(diagonal(), look, 4);
    EXPECT_EQ(image.height(), 12);
    EXPECT_EQ(image.pixel(4, 4), look.litColour());
    EXPECT_EQ(image.pixel(6, 6), look.litColour());
    EXPECT_EQ(image.pixel(7, 6), look.unlitColour());
    EXPECT_EQ(image.pixel(6, 7), look.unlitColour());
}

TEST(EmuPanelLookTest, AVfdGlowsCyanDimmedByItsBrightnessAndLcdsHaveDarkDots) {
    const Rgb full = PanelLook{PanelKind::Vfd, 1.0}.litColour();
    const Rgb half = PanelLook{PanelKind::Vfd, 0.5}.litColour();
    EXPECT_GT(full.green, 0xF0);
    EXPECT_GT(full.blue, 0xC0);
    EXPECT_LT(full.red, full.blue);
    EXPECT_NEAR(half.green, full.green / 2, 1);
    EXPECT_LT(PanelLook{PanelKind::Vfd}.unlitColour().green, 0x20);
    for (PanelKind kind : {PanelKind::LcdGreen, PanelKind::LcdBlue}) {
        const PanelLook look{kind};
        EXPECT_LT(look.litColour().red + look.litColour().green + look.litColour().blue,
                  look.unlitColour().red + look.unlitColour().green + look.unlitColour().blue);
    }
}

TEST(EmuRgbImageTest, APngWrittenReadsBackTheSame) {
    const RgbImage image = RgbImage::render(diagonal(), PanelLook{PanelKind::Vfd, 0.75}, 3);
    const std::string path = temporaryPath("emu-roundtrip.png");
    ASSERT_TRUE(image.writePng(path));
    const std::optional<RgbImage> back = RgbImage::readPng(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, image);
    std::filesystem::remove(path);
}

TEST(EmuRgbImageTest, MissingOrBrokenFilesReadAsNothing) {
    EXPECT_FALSE(RgbImage::readPng(temporaryPath("no-such-file.png")).has_value());
    const std::string path = temporaryPath("emu-broken.png");
    std::ofstream(path) << "\x89PNG\r\n\x1a\n but then nothing sensible";
    EXPECT_FALSE(RgbImage::readPng(path).has_value());
    std::filesystem::remove(path);
    EXPECT_FALSE(RgbImage().writePng(temporaryPath("emu-empty.png")));
}

TEST(EmuTerminalImageTest, TwoPixelRowsMakeOneLineOfHalfBlocks) {
    ScreenImage image(3, 3);
    image.setPixel(0, 0, true);
    image.setPixel(1, 1, true);
    image.setPixel(2, 0, true);
    image.setPixel(2, 1, true);
    image.setPixel(0, 2, true);
    EXPECT_EQ(terminalImage(image), "\u2580\u2584\u2588\n\u2580  \n");
}

// Dots 1, 2, 3 and 8 in the first cell; a column and three rows past the edge stay dark.
TEST(EmuTerminalImageTest, TwoColumnsAndFourRowsMakeOneBrailleCharacter) {
    ScreenImage image(3, 5);
    for (int y = 0; y < 3; ++y) image.setPixel(0, y, true);
    image.setPixel(1, 3, true);
    image.setPixel(2, 4, true);
    EXPECT_EQ(brailleImage(image), "\u2887\u2800\n\u2800\u2801\n");
}

} // namespace
} // namespace tessaranth::emu
