// SPDX-License-Identifier: GPL-2.0-or-later
// The terminal and PNG views of the virtual display, fed by a T6963C emulator that the test
// drives with the chip's own commands.
#include "Errors.h"
#include "views/PngView.h"
#include "views/TerminalView.h"

#include "emu/RgbImage.h"
#include "emu/T6963CEmulator.h"
#include "emu/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace tessaranth::host {
namespace {

class DisplayViewsTest : public ::testing::Test {
protected:
    DisplayViewsTest() {
        emu::DisplaySetup setup;  // T6963C 128x64
        display = emu::VirtualDisplay::create(setup);
        chip().writeData(0);  // graphic home 0, 22 bytes a row
        chip().writeData(0);
        chip().writeCommand(0x42);
        chip().writeData(22);
        chip().writeData(0);
        chip().writeCommand(0x43);
        chip().writeCommand(0x98);  // graphics on
    }
    emu::T6963CEmulator& chip() { return dynamic_cast<emu::T6963CEmulator&>(display->emulator()); }
    // Lights the six dots of graphic byte `address`.
    void light(uint16_t address) {
        chip().writeData(static_cast<uint8_t>(address));
        chip().writeData(static_cast<uint8_t>(address >> 8));
        chip().writeCommand(0x24);
        chip().writeData(0x3F);
        chip().writeCommand(0xC4);
    }
    std::string output() {
        std::fflush(file);
        std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        text.resize(std::fread(text.data(), 1, text.size(), file));
        std::rewind(file);
        return text;
    }

    std::unique_ptr<emu::VirtualDisplay> display;
    std::FILE* file = std::tmpfile();
};

TEST_F(DisplayViewsTest, TerminalDrawsInPlaceOnlyWhenThePictureChanges) {
    {
        TerminalView view(file);
        view.present(*display);
        const std::string first = output();
        EXPECT_EQ(first.rfind("\x1b[?25l\x1b[", 0), 0u) << "hides the cursor and draws where it is";
        EXPECT_NE(first.find("T6963C 128x64"), std::string::npos);
        EXPECT_EQ(first.find("\u2588"), std::string::npos) << "a dark panel has no blocks";
        EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 32 + 1);

        view.present(*display);
        EXPECT_EQ(output(), "") << "the same picture is not drawn again";

        light(0);
        view.present(*display);
        const std::string second = output();
        EXPECT_EQ(second.rfind("\x1b[33F", 0), 0u) << "later frames go back up the 32 lines and the status line";
        const std::string row0 = second.substr(second.find("m", second.find("48;2")) + 1);
        EXPECT_EQ(row0.rfind("\u2580\u2580\u2580\u2580\u2580\u2580 ", 0), 0u) << "six dots on the top row";
        EXPECT_EQ(view.drawings(), 2);
    }
    EXPECT_EQ(output(), "\x1b[0m\x1b[?25h");
}

// The display is 128 x 64 pixels: 128 columns and 33 lines with half blocks, 64 and 17 with Braille.
TEST_F(DisplayViewsTest, ASmallTerminalGetsBrailleAndATinyOneThePartThatFits) {
    light(0);
    for (const TerminalSize size : {TerminalSize{100, 40}, TerminalSize{200, 30}}) {
        TerminalView view(file, size);
        view.present(*display);
        const std::string text = output();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16 + 1) << size.columns << "x" << size.rows;
        const std::string row0 = text.substr(text.find("m", text.find("48;2")) + 1);
        EXPECT_EQ(row0.rfind("\u2809\u2809\u2809\u2800", 0), 0u) << "six dots on the top row: three cells of two";
        EXPECT_EQ(text.find("widen"), std::string::npos);
    }
    TerminalView view(file, {40, 10});
    view.present(*display);
    const std::string text = output();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9 + 1);
    const std::string row0 = text.substr(text.find("m", text.find("48;2")) + 1);
    EXPECT_EQ(row0.find('\n'), 40u * 3) << "40 Braille characters of three bytes";
    EXPECT_NE(text.find("(widen to 64x17 to see it all)"), std::string::npos);
}

// A two-colour OLED: the top 16 pixel rows (8 lines of half blocks) in yellow, the rest in blue.
TEST_F(DisplayViewsTest, TerminalShowsATwoColourOledInItsTwoColours) {
    const auto oled = emu::VirtualDisplay::create({.controller = 7, .panel = emu::PanelColour::yellowBlue});
    ASSERT_NE(oled, nullptr);
    TerminalView view(file);
    view.present(*oled);
    const std::string text = output();
    const auto foreground = [](emu::Rgb c) {
        return "\x1b[38;2;" + std::to_string(c.red) + ";" + std::to_string(c.green) + ";" + std::to_string(c.blue) + "m";
    };
    const emu::PanelLook look = oled->look();
    const std::string yellow = foreground(look.colourOf(emu::ScreenImage::kFullLevel, 0));
    const std::string blue = foreground(look.colourOf(emu::ScreenImage::kFullLevel, emu::PanelLook::kYellowRows));
    ASSERT_NE(yellow, blue);
    const std::size_t yellowAt = text.find(yellow), blueAt = text.rfind(blue);
    ASSERT_NE(yellowAt, std::string::npos) << text.substr(0, 200);
    ASSERT_NE(blueAt, std::string::npos);
    EXPECT_EQ(std::count(text.begin() + static_cast<std::ptrdiff_t>(yellowAt), text.begin() + static_cast<std::ptrdiff_t>(blueAt), '\n'), 8);
    EXPECT_NE(text.find("SSD1306 128x64 (yellow-blue) on I2C at 0x3C"), std::string::npos);
}

TEST_F(DisplayViewsTest, TerminalNamesWhatTheDisplayDidNotUnderstand) {
    TerminalView view(file);
    chip().writeCommand(0x01);  // no such command
    view.present(*display);
    EXPECT_NE(output().find("did not understand"), std::string::npos);
}

TEST_F(DisplayViewsTest, PngWritesEveryNthFrameAtItsScale) {
    const std::string folder = ::testing::TempDir() + "png-" + std::to_string(getpid());
    {
        PngView view(folder + "/nested", 3);
        for (int i = 0; i < 7; ++i) {
            if (i == 3) light(22);  // second pixel row
            view.present(*display);
        }
        EXPECT_EQ(view.written(), 3);
    }
    EXPECT_TRUE(std::filesystem::exists(folder + "/nested/frame-000001.png"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/nested/frame-000002.png"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/nested/frame-000004.png"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/nested/frame-000007.png"));
    const auto first = emu::RgbImage::readPng(folder + "/nested/frame-000001.png");
    const auto fourth = emu::RgbImage::readPng(folder + "/nested/frame-000004.png");
    ASSERT_TRUE(first && fourth);
    EXPECT_EQ(first->width(), 128 * pngScale);
    EXPECT_EQ(first->height(), 64 * pngScale);
    const emu::PanelLook look = display->look();
    EXPECT_EQ(first->pixel(0, pngScale), look.unlitColour());
    EXPECT_EQ(fourth->pixel(0, pngScale), look.litColour());
    std::filesystem::remove_all(folder);
}

TEST_F(DisplayViewsTest, PngFailsWhereItCannotWrite) {
    EXPECT_THROW(PngView("/proc/no-such-folder/frames", 1), Failure);
}

} // namespace
} // namespace tessaranth::host
