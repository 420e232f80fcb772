// SPDX-License-Identifier: GPL-2.0-or-later
#include "DriverFromTable.h"
#include "PluginFixture.h"
#include "T6963CDecoder.h"

#include "controllers/SED133x.h"
#include "controllers/T6963C.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <memory>
#include <string>
#include <tuple>

namespace tessaranth::test {
namespace {

// The SED bus has the T6963C's shape: A0 high for commands, a write latched when CS and WR
// are released. Default wiring: CS on bit 0, A0 on bit 3, WR on bit 2.
BusItems sedItems(const std::vector<PortAccess>& accesses) { return decodeT6963C(accesses); }

BusItems withParameters(uint8_t command, std::initializer_list<uint8_t> parameters) {
    BusItems items{cmd(command)};
    for (uint8_t p : parameters) items.push_back(dat(p));
    return items;
}

BusItems cursorItems(uint16_t address) { return withParameters(0x46, {uint8_t(address & 0xFF), uint8_t(address >> 8)}); }

// What SED1330 display memory holds after a decoded stream: CSRW sets the cursor, each byte
// after MWRITE is stored there and advances it; the text block's start comes from SCROLL and
// the pitch of a memory line from SYSTEM SET, as the controller itself takes them.
class SedMemory {
public:
    explicit SedMemory(const BusItems& items) {
        uint8_t command = 0;
        int parameter = 0;
        for (const BusItem& item : items) {
            if (item.command) {
                command = item.value;
                parameter = 0;
                continue;
            }
            take(command, parameter++, item.value);
        }
    }
    std::string textRow(int row, int columns) const {
        std::string text;
        for (int c = 0; c < columns; ++c) text += static_cast<char>(memory_[(textStart_ + row * pitch_ + c) & 0xFFFF]);
        return text;
    }
    int pitch() const { return pitch_; }

private:
    void take(uint8_t command, int parameter, uint8_t value) {
        if (command == 0x40 && parameter == 6) pitch_ = value;
        if (command == 0x40 && parameter == 7) pitch_ |= value << 8;
        if (command == 0x44 && parameter < 2) textStart_ = parameter == 0 ? value : textStart_ | value << 8;
        if (command == 0x46 && parameter < 2) cursor_ = parameter == 0 ? value : (cursor_ & 0xFF) | value << 8;
        if (command == 0x42) memory_[cursor_++ & 0xFFFF] = value;
    }
    std::vector<uint8_t> memory_ = std::vector<uint8_t>(65536, 0);
    int pitch_ = 0;
    int textStart_ = 0;
    int cursor_ = 0;
};

class SED133xTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        driver = driverFromTable<SED133x>(1);
        ASSERT_NE(driver, nullptr);
        useSize(240, 128);
    }
    void useSize(uint16_t width, uint16_t height) {
        gLcd->setSize(width, height);
        driver->init();
        host.clear();
    }
    void setInverse(bool on) {
        gSettings->setInverse(on ? 1 : 0);
        driver->setOptions(driverOptions(*gSettings));
    }
    BusItems items() const { return sedItems(host.accesses); }

    std::unique_ptr<SED133x> driver;
};

TEST_F(SED133xTest, CommandAndDataCyclesStrobeCsAroundWr) {
    // Text cell (1, 8) lies at 8 * 40 + 1 = 0x141: the cursor command, then its low byte.
    driver->writeText(1, 8, "A");
    ASSERT_GE(host.accesses.size(), 12u);
    EXPECT_EQ(std::vector<PortAccess>(host.accesses.begin(), host.accesses.begin() + 12),
              (std::vector<PortAccess>{{true, 0x37A, 4},
                                       {true, 0x378, 0x46},
                                       {true, 0x37A, 5},
                                       {true, 0x37A, 1},
                                       {true, 0x37A, 5},
                                       {true, 0x37A, 4},
                                       {true, 0x37A, 12},
                                       {true, 0x378, 0x41},
                                       {true, 0x37A, 13},
                                       {true, 0x37A, 9},
                                       {true, 0x37A, 13},
                                       {true, 0x37A, 12}}));
    EXPECT_EQ(items(), cursorItems(0x141) + withParameters(0x42, {'A'}));
}

TEST_F(SED133xTest, InitFor320By240SetsUpBothLayersAndClearsThem) {
    gLcd->setSize(320, 240);
    driver->init();
    ASSERT_FALSE(host.accesses.empty());
    EXPECT_EQ(host.accesses.front(), (PortAccess{true, 0x37A, 4}));
    const BusItems expected = withParameters(0x40, {0x30, 0x85, 0x07, 0x38, 0x46, 0xF0, 0x38, 0x00}) +
                              withParameters(0x44, {0x00, 0x00, 0xF0, 0x10, 0x07, 0xF0}) +
                              withParameters(0x5C, {0x90, 0x02}) + BusItems{cmd(0x4C)} + withParameters(0x5A, {0}) +
                              withParameters(0x46, {0, 0}) + withParameters(0x5D, {0x04, 0x86}) +
                              withParameters(0x5B, {0x01}) + withParameters(0x59, {0x14}) + cursorItems(0);
    const BusItems got = items();
    ASSERT_GT(got.size(), expected.size());
    EXPECT_EQ(BusItems(got.begin(), got.begin() + static_cast<long>(expected.size())), expected);
    // Text layer: 56 x 30 spaces, each its own memory write; then the graphic layer.
    size_t at = expected.size();
    for (int i = 0; i < 56 * 30; ++i, at += 2) {
        ASSERT_EQ(got[at], cmd(0x42)) << i;
        ASSERT_EQ(got[at + 1], dat(0x20)) << i;
    }
    EXPECT_EQ(BusItems(got.begin() + static_cast<long>(at), got.begin() + static_cast<long>(at) + 3), cursorItems(1808));
    EXPECT_EQ(got.size(), at + 3 + 2 * 56 * 240);
    EXPECT_EQ(got.back(), dat(0));
}

TEST_F(SED133xTest, GlyphZeroLandsAt0x690WithRowsInTheHighBits) {
    const uint8_t rows[8] = {31, 31, 31, 31, 31, 31, 31, 31};
    driver->defineGlyph(0, rows);
    EXPECT_EQ(items(), cursorItems(0x690) + withParameters(0x42, {0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C}));
    host.clear();
    const uint8_t one[8] = {1, 2, 4, 8, 16, 0, 0, 0};
    driver->defineGlyph(15, one);
    EXPECT_EQ(items(), cursorItems(0x690 + 120) + withParameters(0x42, {0x04, 0x08, 0x10, 0x20, 0x40, 0, 0, 0}));
}

TEST_F(SED133xTest, GraphicBytesMoveCellsToTheHighBitsAndInvertBeforeShifting) {
    const uint8_t run[] = {0x00, 0x3F, 0x21};
    driver->writeRow(0, 0, run, 3);
    EXPECT_EQ(items(), cursorItems(768) + withParameters(0x42, {0x00, 0xFC, 0x84}));
    host.clear();
    setInverse(true);
    driver->writeRow(3, 2, run, 3);
    EXPECT_EQ(items(), cursorItems(768 + 3 + 2 * 40) + withParameters(0x42, {0xFC, 0x00, 0x78}));
    host.clear();
    driver->writeRow(0, 0, nullptr, 3);
    EXPECT_EQ(items(), cursorItems(768)) << "no bytes: the cursor alone";
}

TEST_F(SED133xTest, TextIsOneMemoryWriteOfTheAsciiCodes) {
    driver->writeText(2, 3, "Stopped");
    EXPECT_EQ(items(), cursorItems(3 * 40 + 2) + withParameters(0x42, {'S', 't', 'o', 'p', 'p', 'e', 'd'}));
}

TEST_F(SED133xTest, ScreenBlockAndClearAddressTheGraphicLayer) {
    std::vector<uint8_t> image(LCD::backgroundBytes, 0x01);
    driver->writeScreen(image.data());
    BusItems got = items();
    ASSERT_EQ(got.size(), 3u + 1 + 40 * 128);
    EXPECT_EQ(BusItems(got.begin(), got.begin() + 4), (cursorItems(768) + BusItems{cmd(0x42)}));
    EXPECT_EQ(got.back(), dat(0x04));

    host.clear();
    const uint8_t block[6] = {1, 2, 3, 4, 5, 6};
    driver->writeBlock(block, 2, 1, 2, 3);
    EXPECT_EQ(items(), cursorItems(768 + 2 + 40 * 8) + withParameters(0x42, {0x04, 0x08, 0x0C}) +
                           cursorItems(768 + 2 + 40 * 9) + withParameters(0x42, {0x10, 0x14, 0x18}));

    host.clear();
    driver->clearGraphics();
    got = items();
    EXPECT_EQ(got.size(), 3u + 2 * 40 * 128);
    EXPECT_EQ(BusItems(got.begin(), got.begin() + 5), (cursorItems(768) + BusItems{cmd(0x42), dat(0)}));
}

TEST_F(SED133xTest, HasNoDeviceToOpenOrCloseAndNoBrightness) {
    EXPECT_TRUE(driver->open());
    driver->setBrightness(3);
    driver->close();
    EXPECT_TRUE(host.accesses.empty());
}

// Text cells are addressed with the pitch the controller was given, so every text row lands
// where the controller shows it, at every display size, on both SED controllers.
class SedTextRows : public PluginFixture, public ::testing::WithParamInterface<std::tuple<int, uint8_t>> {
protected:
    struct Size {
        uint16_t width, height;
    };
    void SetUp() override {
        PluginFixture::SetUp();
        static constexpr Size sizes[] = {{128, 64}, {128, 128}, {240, 64}, {240, 128}, {256, 128},
                                         {320, 200}, {320, 240}, {192, 64}, {128, 32}};
        size = sizes[std::get<0>(GetParam())];
        driver = driverFromTable<SED133x>(std::get<1>(GetParam()));
        ASSERT_NE(driver, nullptr) << "both SED controllers make this driver";
        gLcd->setSize(size.width, size.height);
        driver->init();
    }
    BusItems items() const { return sedItems(host.accesses); }

    Size size{};
    std::unique_ptr<SED133x> driver;
};

TEST_P(SedTextRows, TextPositionsUseTheControllersPitch) {
    driver->writeText(0, 0, "TITLE");
    driver->writeText(2, 1, "ARTIST");
    driver->writeText(0, static_cast<int16_t>(size.height / 8 - 1), "LAST");
    const SedMemory memory(items());
    EXPECT_EQ(memory.pitch(), gLcd->graphicRowBytes());
    EXPECT_EQ(memory.textRow(0, 6), "TITLE ");
    EXPECT_EQ(memory.textRow(1, 8), "  ARTIST");
    EXPECT_EQ(memory.textRow(size.height / 8 - 1, 5), "LAST ");
}

TEST_P(SedTextRows, BlankTextClearsTheCellsOfItsOwnRow) {
    driver->writeText(0, 1, "ABCDEFGHIJKL");
    driver->blankText(2, 1, 4);
    const BusItems got = items();
    EXPECT_EQ(SedMemory(got).textRow(1, 12), std::string("AB\0\0\0\0GHIJKL", 12));
    EXPECT_EQ(SedMemory(got).textRow(0, 12), std::string(12, ' '));
    // The blank ends with the SED's reset code, a command byte 0.
    EXPECT_EQ(got.back(), cmd(0));
}

INSTANTIATE_TEST_SUITE_P(AllSizes, SedTextRows, ::testing::Combine(::testing::Range(0, 9), ::testing::Values(1, 2)));

// The T6963C keeps its own text area (22 at 128 wide, so its 22nd column stays blank).
TEST_F(SED133xTest, T6963CTextAddressesKeepTheTextRowBytes) {
    const std::unique_ptr<T6963C> t6963c = driverFromTable<T6963C>(0);
    ASSERT_NE(t6963c, nullptr);
    for (auto [width, expected] : {std::pair<uint16_t, uint16_t>{128, 2 * 22 + 3}, {192, 2 * 32 + 3}}) {
        gLcd->setSize(width, 64);
        t6963c->init();
        host.clear();
        t6963c->writeText(3, 2, "");
        EXPECT_EQ(items(), addressItems(expected)) << width;
    }
}

// The whole plug-in on a 128 x 64 SED1330: the farewell texts land on their own rows.
TEST_F(SED133xTest, FarewellTitleAndArtistLandOnRowsZeroAndOne) {
    host.clear();
    gSettings->setController(1);
    gSettings->setDisplayFormat(0);
    init();
    quit();
    const SedMemory memory(items());
    EXPECT_EQ(memory.textRow(0, 24), "     Tessaranth         ");
    EXPECT_EQ(memory.textRow(1, 24), " ..:: BYE BYE ::..      ");
    EXPECT_EQ(memory.textRow(2, 24), std::string(24, ' '));
}

} // namespace
} // namespace tessaranth::test
