// SPDX-License-Identifier: GPL-2.0-or-later
#include "DriverFromTable.h"
#include "PluginFixture.h"
#include "T6963CDecoder.h"

#include "controllers/T6963C.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <memory>

namespace tessaranth::test {
namespace {

class T6963CTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        gSettings->setInterfaceTiming(0);
        remake();
        useSize(240, 128);
    }

    // A new driver on the port address and wiring the settings hold now.
    void remake() {
        driver = driverFromTable<T6963C>(0);
        ASSERT_NE(driver, nullptr);
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

    BusItems items(T6963CWiring wiring = {}) const { return decodeT6963C(host.accesses, wiring); }

    std::vector<uint16_t> controlValues(uint16_t base = 0x378) const {
        std::vector<uint16_t> result;
        for (const PortAccess& a : host.accesses)
            if (a.write && a.port == base + 2) result.push_back(a.value);
        return result;
    }

    static std::vector<uint8_t> zeros(std::size_t n) { return std::vector<uint8_t>(n, 0); }

    std::unique_ptr<T6963C> driver;
};

// Text cell (1, 8) of the 240-wide layouts lies at 8 * 40 + 1 = 0x141: an empty text there is
// the address pointer alone, two data cycles (0x41, 0x01) and a command cycle (0x24).
constexpr int16_t cellColumn = 1;
constexpr int16_t cellLine = 8;

// ---- bus cycles ----

TEST_F(T6963CTest, AddressPointerIsTwoDataCyclesFromTheIdleValueThenACommandCycle) {
    driver->writeText(cellColumn, cellLine, "");
    // A data cycle starts from the idle value with C/D low, whatever the lines were left at; a
    // command cycle writes the idle value first and raises C/D again at its end.
    EXPECT_EQ(host.accesses, (std::vector<PortAccess>{{true, 0x37A, 12},
                                                      {true, 0x378, 0x41},
                                                      {true, 0x37A, 8},
                                                      {true, 0x37A, 9},
                                                      {true, 0x37A, 8},
                                                      {true, 0x37A, 12},
                                                      {true, 0x37A, 12},
                                                      {true, 0x378, 0x01},
                                                      {true, 0x37A, 8},
                                                      {true, 0x37A, 9},
                                                      {true, 0x37A, 8},
                                                      {true, 0x37A, 12},
                                                      {true, 0x37A, 4},
                                                      {true, 0x378, 0x24},
                                                      {true, 0x37A, 0},
                                                      {true, 0x37A, 1},
                                                      {true, 0x37A, 0},
                                                      {true, 0x37A, 4},
                                                      {true, 0x37A, 12}}));
}

TEST_F(T6963CTest, CyclesFollowAnotherWiring) {
    // CE on pin 14, C/D on pin 16, WR on pin 1, RD on pin 17.
    gSettings->setWiringCS(1);
    gSettings->setWiringA0(2);
    gSettings->setWiringWR(0);
    gSettings->setWiringRD(3);
    remake();
    driver->writeText(cellColumn, cellLine, "");
    const std::vector<uint16_t> data{0, 1, 3, 1, 0};
    const std::vector<uint16_t> command{4, 5, 7, 5, 4, 0};
    std::vector<uint16_t> expected = data;
    expected.insert(expected.end(), data.begin(), data.end());
    expected.insert(expected.end(), command.begin(), command.end());
    EXPECT_EQ(controlValues(), expected);
    EXPECT_EQ(items({0x378, 2, 4, 1}), addressItems(0x141));
}

TEST_F(T6963CTest, AWireOutsideTheFourLinesLeavesThatLineUndrivenButTheCycleRuns) {
    gSettings->setWiringCS(7);
    remake();
    driver->writeText(cellColumn, cellLine, "");
    EXPECT_EQ(controlValues(), (std::vector<uint16_t>{12, 8, 8, 8, 12, 12, 8, 8, 8, 12, 4, 0, 0, 0, 4, 12}));
    std::vector<uint16_t> data;
    for (const PortAccess& a : host.writes())
        if (a.port == 0x378) data.push_back(a.value);
    EXPECT_EQ(data, (std::vector<uint16_t>{0x41, 0x01, 0x24}));
}

TEST_F(T6963CTest, RegistersFollowTheConfiguredBase) {
    gSettings->setLptAddress(0x278);
    remake();
    driver->writeText(cellColumn, cellLine, "A");
    ASSERT_FALSE(host.accesses.empty());
    for (const PortAccess& a : host.accesses) EXPECT_TRUE(a.port == 0x278 || a.port == 0x27A) << a.port;
    EXPECT_EQ(items({0x278, 1, 8, 4}), addressItems(0x141) + textItems("A"));
}

TEST_F(T6963CTest, SlowerTimingAddsExactlyTwoDataReadsWhileTheStrobeIsActive) {
    for (int32_t timing : {1, 5, -1}) {
        gSettings->setInterfaceTiming(timing);
        driver->setOptions(driverOptions(*gSettings));
        host.clear();
        driver->writeText(cellColumn, cellLine, "");
        ASSERT_EQ(host.accesses.size(), 8u + 8u + 9u) << timing;
        // Each cycle's reads follow the write that makes CE and WR active: 9 for data, 1 for
        // the command.
        for (std::size_t first : {0u, 8u, 16u}) {
            const uint16_t active = first == 16 ? 1 : 9;
            EXPECT_EQ(host.accesses[first + 3], (PortAccess{true, 0x37A, active})) << timing << " " << first;
            EXPECT_EQ(host.accesses[first + 4], (PortAccess{false, 0x378, 0})) << timing << " " << first;
            EXPECT_EQ(host.accesses[first + 5], (PortAccess{false, 0x378, 0})) << timing << " " << first;
        }
        EXPECT_EQ(items(), addressItems(0x141)) << timing;
    }
    gSettings->setInterfaceTiming(0);
    driver->setOptions(driverOptions(*gSettings));
    host.clear();
    driver->writeText(cellColumn, cellLine, "");
    EXPECT_EQ(host.accesses.size(), 19u);
    for (const PortAccess& a : host.accesses) EXPECT_TRUE(a.write);
}

// ---- command sequences ----

TEST_F(T6963CTest, InitSetsTheLayoutModesAndClearsBothLayers) {
    gLcd->setSize(240, 64);
    driver->init();
    ASSERT_FALSE(host.accesses.empty());
    EXPECT_EQ(host.accesses[0], (PortAccess{true, 0x37A, 4})) << "the idle value comes before the first command";
    const BusItems expected = wordItems(0, 0x40) + wordItems(40, 0x41) + wordItems(512, 0x42) +
                              wordItems(40, 0x43) + BusItems{cmd(0x81)} + wordItems(3, 0x22) +
                              BusItems{cmd(0xA7)} + wordItems(0, 0x21) + BusItems{cmd(0x9C)} + addressItems(0) +
                              autoWriteItems(zeros(40 * 8)) + addressItems(512) + autoWriteItems(zeros(40 * 64));
    EXPECT_EQ(items(), expected);
    EXPECT_EQ(expected, initItems(0, 40, 512, 40, 64)) << "the builder the start-up tests use agrees";
}

TEST_F(T6963CTest, InitSplitsAGraphicHomeAboveOneByte) {
    gLcd->setSize(320, 240);
    driver->init();
    const BusItems all = items();
    ASSERT_GE(all.size(), 12u);
    EXPECT_EQ(BusItems(all.begin() + 3, all.begin() + 12),
              wordItems(56, 0x41) + wordItems(1808, 0x42) + wordItems(56, 0x43));
    EXPECT_EQ(BusItems(all.end() - 2, all.end()), (BusItems{dat(0), cmd(0xB2)}));
    // 21 items of set-up, then the text layer (30 rows) and the graphic layer (240 rows).
    EXPECT_EQ(all.size(), 21u + (3 + 2 + 56u * 30) + (3 + 2 + 56u * 240));
}

TEST_F(T6963CTest, GlyphsGoToTheCharacterGeneratorRam) {
    const uint8_t rows[8] = {0, 1, 2, 4, 8, 16, 31, 0};
    driver->defineGlyph(2, rows);
    EXPECT_EQ(items(), addressItems(0x1C10) + autoWriteItems({0, 1, 2, 4, 8, 16, 31, 0}));
    host.clear();
    driver->defineGlyph(15, rows);
    const BusItems last = items();
    ASSERT_EQ(last.size(), 13u);
    EXPECT_EQ(BusItems(last.begin(), last.begin() + 3), addressItems(0x1C78));
}

TEST_F(T6963CTest, TextIsSentAtItsCellAsCharacterGeneratorCodes) {
    driver->writeText(3, 2, "A");
    EXPECT_EQ(items(), (addressItems(2 * 40 + 3) + BusItems{dat(0x21), cmd(0xC0)}));
    host.clear();
    driver->writeText(0, 15, "\xA3 \x1F");
    EXPECT_EQ(items(), (addressItems(15 * 40) +
                        BusItems{dat(0x83), cmd(0xC0), dat(0x00), cmd(0xC0), dat(0xFF), cmd(0xC0)}));
    host.clear();
    driver->writeText(1, 0, "");
    driver->writeText(2, 0, nullptr);
    EXPECT_EQ(items(), addressItems(1) + addressItems(2)) << "no text: the address alone";
}

TEST_F(T6963CTest, CellsKeepTheUserGlyphCodesAndTurnTheRestIntoCharacters) {
    driver->writeCells(4, 1, "\x80\x8F A\x7F");
    EXPECT_EQ(items(), (addressItems(44) + BusItems{dat(0x80), cmd(0xC0), dat(0x8F), cmd(0xC0), dat(0x00), cmd(0xC0),
                                                    dat(0x21), cmd(0xC0), dat(0x5F), cmd(0xC0)}));
    host.clear();
    driver->writeCells(0, 0, nullptr);
    EXPECT_EQ(items(), addressItems(0));
}

TEST_F(T6963CTest, BlankCellsAreZeroCodesFromTheCell) {
    driver->blankText(2, 1, 4);
    EXPECT_EQ(items(), addressItems(42) + autoWriteItems(zeros(4)));
    host.clear();
    driver->clearTextCells(0, 3, 2);
    EXPECT_EQ(items(), addressItems(120) + autoWriteItems(zeros(2)));
    host.clear();
    setInverse(true);
    driver->blankText(0, 0, 1);
    driver->blankText(0, 0, -3);
    EXPECT_EQ(items(), addressItems(0) + autoWriteItems(zeros(1)) + addressItems(0) + autoWriteItems({}))
        << "text cells are never inverted";
    host.clear();
    driver->clearLine(5, 2, "   ");
    EXPECT_EQ(items(), addressItems(85) + autoWriteItems(zeros(3))) << "a playlist line of spaces is blank cells";
}

TEST_F(T6963CTest, RowsStartAtTheirCellAndAreInvertedOnlyWhenInverseIsOn) {
    const uint8_t run[] = {0x3F, 0x00, 0x2A};
    driver->writeRow(0, 0, run, 3);
    EXPECT_EQ(items(), addressItems(768) + autoWriteItems({0x3F, 0x00, 0x2A}));
    host.clear();
    setInverse(true);
    driver->writeRow(5, 17, run, 3);
    EXPECT_EQ(items(), addressItems(768 + 5 + 17 * 40) + autoWriteItems({0xC0, 0xFF, 0xD5}));
    host.clear();
    driver->writeRow(0, 1, run, 0);
    driver->writeRow(0, 1, run, -4);
    EXPECT_EQ(items(), addressItems(808) + autoWriteItems({}) + addressItems(808) + autoWriteItems({}));
}

TEST_F(T6963CTest, TheHighlightIsNineGraphicRowsFromTheRowAboveTheLine) {
    driver->highlightLine(2, 3, 5, true);
    BusItems expected;
    for (int r = 0; r < 9; ++r)
        expected = expected + addressItems(static_cast<uint16_t>(768 + 2 + 40 * (8 * 3 + r - 1))) +
                   autoWriteItems(std::vector<uint8_t>(5, 0xFF));
    EXPECT_EQ(items(), expected);
    host.clear();
    setInverse(true);
    driver->highlightLine(0, 1, 300, false);
    const BusItems dark = items();
    ASSERT_EQ(dark.size(), 9u * (3 + 2 + 255)) << "a bar is as long as a run can be";
    EXPECT_EQ(BusItems(dark.begin(), dark.begin() + 5), (addressItems(768 + 7 * 40) + BusItems{cmd(0xB0), dat(0xFF)}));
}

TEST_F(T6963CTest, ScreenIsOneAutoWriteOfTheWholeGraphicArea) {
    gLcd->setSize(128, 64);
    std::vector<uint8_t> image(LCD::backgroundBytes);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    driver->writeScreen(image.data());
    const std::vector<uint8_t> sent(image.begin(), image.begin() + 24 * 64);
    EXPECT_EQ(items(), addressItems(512) + autoWriteItems(sent));
    host.clear();
    setInverse(true);
    driver->writeScreen(image.data());
    std::vector<uint8_t> inverted(sent);
    for (uint8_t& b : inverted) b ^= 0xFF;
    EXPECT_EQ(items(), addressItems(512) + autoWriteItems(inverted));
}

TEST_F(T6963CTest, ScreenOfTheLargestLayoutStaysInsideTheImage) {
    gLcd->setSize(320, 240);
    std::vector<uint8_t> image(LCD::backgroundBytes, 0x15);
    driver->writeScreen(image.data());
    EXPECT_EQ(items().size(), 3u + 2u + 56u * 240u);
    host.clear();
    driver->writeScreen(nullptr);
    EXPECT_TRUE(host.accesses.empty());
}

TEST_F(T6963CTest, BlocksSetTheAddressOfEveryRow) {
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    driver->writeBlock(bytes, 17, 3, 2, 3);
    const uint16_t first = 768 + 17 + 3 * 8 * 40;
    EXPECT_EQ(items(), addressItems(first) + autoWriteItems({1, 2, 3}) + addressItems(first + 40) +
                           autoWriteItems({4, 5, 6}));
    host.clear();
    setInverse(true);
    driver->writeBlock(bytes, 0, 0, 1, 2);
    EXPECT_EQ(items(), addressItems(768) + autoWriteItems({0xFE, 0xFD}));
}

TEST_F(T6963CTest, BlockAddressesWrapAtSixteenBits) {
    gLcd->setSize(320, 240);
    const uint8_t bytes[] = {9};
    driver->writeBlock(bytes, 2, 200, 1, 1);
    EXPECT_EQ(items(), addressItems(static_cast<uint16_t>((1808 + 2 + 200 * 8 * 56) % 65536)) + autoWriteItems({9}));
}

TEST_F(T6963CTest, ClearGraphicsZeroesTheGraphicArea) {
    driver->clearGraphics();
    EXPECT_EQ(items(), addressItems(768) + autoWriteItems(zeros(40 * 128)));
}

TEST_F(T6963CTest, HasNoDeviceToOpenOrCloseAndNoBrightness) {
    EXPECT_TRUE(driver->open());
    driver->setBrightness(3);
    driver->close();
    EXPECT_TRUE(host.accesses.empty());
}

TEST(ControllerTable, ValueZeroMakesTheT6963CAndValuesPastTheTableNothing) {
    std::unique_ptr<ControllerLSI> driver(findController(0)->makeDriver({}));
    EXPECT_NE(dynamic_cast<T6963C*>(driver.get()), nullptr);
    for (uint8_t value : {12, 13, 255}) EXPECT_EQ(findController(value), nullptr) << int(value);
}

} // namespace
} // namespace tessaranth::test
