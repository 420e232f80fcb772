// SPDX-License-Identifier: GPL-2.0-or-later
#include "BitmapFile.h"
#include "HostRecorder.h"
#include "TableDriver.h"

#include "display/LCD.h"

#include <gtest/gtest.h>

#include <memory>

namespace tessaranth::test {
namespace {

// A pattern without short periods, so a row or byte out of place shows.
bool pattern(int x, int y) { return (x * 7 + y * 13 + x * y) % 11 < 4; }

class BackgroundReader : public ::testing::Test {
protected:
    void start(uint8_t controller, uint16_t width, uint16_t height) {
        lcd = std::make_unique<LCD>();
        useFamilyOf(*lcd, controller);
        lcd->setSize(width, height);
    }
    uint8_t byte(size_t index) const { return lcd->backgroundPointer()[index]; }

    // What the display would show, read back from the image in the family's format.
    bool cellPixel(int x, int y) const {
        const uint8_t cell = byte(static_cast<size_t>(y * lcd->graphicRowBytes() + x / 6));
        return cell & (0x20 >> (x % 6));
    }
    bool pagePixel(int x, int y) const {
        return byte(static_cast<size_t>(y * (lcd->width() / 8) + x / 8)) & (0x80 >> (x % 8));
    }
    size_t firstSetByteFrom(size_t start) const {
        for (size_t i = start; i < LCD::backgroundBytes; ++i)
            if (byte(i)) return i;
        return LCD::backgroundBytes;
    }

    HostRecorder host;
    std::unique_ptr<LCD> lcd;
};

TEST_F(BackgroundReader, Fills64RowsOf40CellsFromA240By64BitmapOnAT6963C) {
    start(0, 240, 64);
    lcd->loadBackground(writeTestFile("bg240x64.bmp", emu::oneBitBitmap(240, 64, pattern)).c_str());
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(cellPixel(x, y), pattern(x, y)) << x << "," << y;
    for (size_t i = 0; i < 40 * 64; ++i) ASSERT_EQ(byte(i) & 0xC0, 0) << i;
    EXPECT_EQ(firstSetByteFrom(40 * 64), LCD::backgroundBytes);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(BackgroundReader, A144By64BitmapServesA128By64DisplayOfEitherFamily) {
    const std::string path = writeTestFile("bg144x64.bmp", emu::oneBitBitmap(144, 64, pattern));
    for (uint8_t controller : {0, 1, 2, 6}) {
        start(controller, 128, 64);
        lcd->loadBackground(path.c_str());
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 144; ++x) ASSERT_EQ(cellPixel(x, y), pattern(x, y)) << int(controller) << ":" << x << "," << y;
        EXPECT_EQ(firstSetByteFrom(24 * 64), LCD::backgroundBytes);
    }
    for (uint8_t controller : {3, 4, 5}) {
        start(controller, 128, 64);
        lcd->loadBackground(path.c_str());
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x) ASSERT_EQ(pagePixel(x, y), pattern(x, y)) << int(controller) << ":" << x << "," << y;
        EXPECT_EQ(firstSetByteFrom(16 * 64), LCD::backgroundBytes);
    }
}

TEST_F(BackgroundReader, A192WidePageDisplayReadsWholeRowsWithoutPadding) {
    start(3, 192, 64);
    lcd->loadBackground(writeTestFile("bg192x64.bmp", emu::oneBitBitmap(192, 64, pattern)).c_str());
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 192; ++x) ASSERT_EQ(pagePixel(x, y), pattern(x, y)) << x << "," << y;
}

TEST_F(BackgroundReader, A256WideLayoutSkipsThreePaddingBytesPerRow) {
    start(0, 256, 128);
    lcd->loadBackground(writeTestFile("bg264x128.bmp", emu::oneBitBitmap(264, 128, pattern)).c_str());
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 264; ++x) ASSERT_EQ(cellPixel(x, y), pattern(x, y)) << x << "," << y;
}

TEST_F(BackgroundReader, ThreeFileBytesBecomeFourCells) {
    start(0, 128, 64);
    std::vector<uint8_t> bytes = emu::oneBitBitmap(144, 64, [](int, int) { return false; });
    const size_t lastFileRow = 62 + 20 * 63;  // the top display row
    bytes[lastFileRow] = 0x00;
    bytes[lastFileRow + 1] = 0xFF;
    bytes[lastFileRow + 2] = 0xFF;
    lcd->loadBackground(writeTestFile("packing.bmp", bytes).c_str());
    EXPECT_EQ(byte(0), 0x3F);
    EXPECT_EQ(byte(1), 0x30);
    EXPECT_EQ(byte(2), 0x00);
    EXPECT_EQ(byte(3), 0x00);
    EXPECT_EQ(firstSetByteFrom(2), LCD::backgroundBytes) << "an all-white row gives cells 0";
}

TEST_F(BackgroundReader, MissingFileIsReportedOnceAndLeavesABlankImage) {
    start(0, 240, 64);
    lcd->loadBackground(writeTestFile("lit.bmp", emu::oneBitBitmap(240, 64, [](int, int) { return true; })).c_str());
    ASSERT_NE(firstSetByteFrom(0), LCD::backgroundBytes);
    lcd->loadBackground("No skin selected");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Skin not found.");
    EXPECT_EQ(host.boxes[0].caption, "Tessaranth");
    EXPECT_EQ(host.boxes[0].style, 0x10u);
    EXPECT_EQ(firstSetByteFrom(0), LCD::backgroundBytes);
    lcd->loadBackground(nullptr);
    EXPECT_EQ(host.boxes.size(), 2u);
}

TEST_F(BackgroundReader, ShortFileFillsTheBottomRowsAndClearsTheRest) {
    start(0, 128, 64);
    lcd->loadBackground(writeTestFile("full.bmp", emu::oneBitBitmap(144, 64, [](int, int) { return true; })).c_str());
    std::vector<uint8_t> bytes = emu::oneBitBitmap(144, 64, pattern);
    bytes.resize(62 + 20 * 10 + 10);  // ten whole rows and the first ten bytes of the eleventh
    lcd->loadBackground(writeTestFile("short.bmp", bytes).c_str());
    for (int y = 54; y < 64; ++y)
        for (int x = 0; x < 144; ++x) ASSERT_EQ(cellPixel(x, y), pattern(x, y)) << x << "," << y;
    for (int x = 0; x < 72; ++x) ASSERT_EQ(cellPixel(x, 53), pattern(x, 53)) << "whole groups of a cut row" << x;
    for (int x = 72; x < 144; ++x) ASSERT_FALSE(cellPixel(x, 53)) << x;
    EXPECT_EQ(firstSetByteFrom(0), static_cast<size_t>(53 * 24)) << "rows above the cut are blank";
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(BackgroundReader, FileShorterThanItsHeaderGivesABlankImage) {
    start(3, 128, 64);
    lcd->loadBackground(writeTestFile("stub.bmp", {'B', 'M', 0, 0}).c_str());
    EXPECT_EQ(firstSetByteFrom(0), LCD::backgroundBytes);
    EXPECT_TRUE(host.boxes.empty());
}

// Any file on any layout and controller: bytes land only in the layout's own area.
TEST_F(BackgroundReader, NoFileShapeWritesOutsideTheLayoutsImage) {
    struct Size {
        uint16_t width, height;
    };
    const Size sizes[] = {{128, 64}, {128, 128}, {240, 64}, {240, 128}, {256, 128}, {320, 200}, {320, 240}, {192, 64}, {128, 32}, {256, 64}, {8, 8}};
    const std::string huge = writeTestFile("huge.bmp", emu::oneBitBitmap(640, 480, [](int, int) { return true; }));
    for (uint8_t controller = 0; controller <= 12; ++controller) {
        for (const Size& size : sizes) {
            start(controller, size.width, size.height);
            lcd->loadBackground(huge.c_str());
            ASSERT_EQ(lcd->backgroundPointer()[0], byte(0));
            const bool page = (controller >= 3 && controller <= 5) || (controller >= 7 && controller <= 11);
            const bool reads = controller <= 11;
            const size_t area = page ? size.width / 8u * size.height : static_cast<size_t>(lcd->graphicRowBytes()) * size.height;
            ASSERT_LE(area, static_cast<size_t>(LCD::backgroundBytes));
            EXPECT_EQ(firstSetByteFrom(area), LCD::backgroundBytes) << int(controller) << " " << size.width << "x" << size.height;
            if (reads && area > 0) {
                EXPECT_EQ(byte(area - 1), page ? 0xFF : 0x3F) << int(controller) << " " << size.width;
            }
            if (!reads) {
                EXPECT_EQ(firstSetByteFrom(0), LCD::backgroundBytes);
            }
        }
    }
    EXPECT_TRUE(host.boxes.empty());
}

} // namespace
} // namespace tessaranth::test
