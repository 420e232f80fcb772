#include "PluginFixture.h"
#include "T6963CDecoder.h"

#include "controllers/ControllerFactory.h"
#include "controllers/T6963C.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <memory>

namespace tessaranth::test {
namespace {

class T6963CTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        gPlugin->portAddress = 0x378;
        gSettings->setInterfaceTiming(0);
        useSize(240, 128);
    }

    void useSize(uint16_t width, uint16_t height) {
        gLcd->setController(0);
        gLcd->setSize(width, height);
        driver.init();
        host.clear();
    }

    BusItems items(T6963CWiring wiring = {}) const { return decodeT6963C(host.accesses, wiring); }

    std::vector<PortAccess> controlWrites(uint16_t base = 0x378) const {
        std::vector<PortAccess> result;
        for (const PortAccess& a : host.accesses)
            if (a.write && a.port == base + 2) result.push_back(a);
        return result;
    }

    static std::vector<uint8_t> zeros(std::size_t n) { return std::vector<uint8_t>(n, 0); }

    T6963C driver;
};

// ---- bus cycles ----

TEST_F(T6963CTest, CommandCycleWithTheDefaultWiring) {
    driver.writeCommand(0x24);
    EXPECT_EQ(host.accesses, (std::vector<PortAccess>{{true, 0x37A, 4},
                                                      {true, 0x378, 0x24},
                                                      {true, 0x37A, 0},
                                                      {true, 0x37A, 1},
                                                      {true, 0x37A, 0},
                                                      {true, 0x37A, 4},
                                                      {true, 0x37A, 12}}));
}

TEST_F(T6963CTest, DataCycleStartsFromTheIdleValueWhateverTheLinesWereLeftAt) {
    driver.writeData(0x141);
    driver.writeData(0x07);
    const std::vector<PortAccess> cycle{{true, 0x37A, 12}, {true, 0x378, 0x141}, {true, 0x37A, 8},
                                        {true, 0x37A, 9},  {true, 0x37A, 8},     {true, 0x37A, 12}};
    ASSERT_EQ(host.accesses.size(), 12u);
    EXPECT_EQ(std::vector<PortAccess>(host.accesses.begin(), host.accesses.begin() + 6), cycle);
    EXPECT_EQ(host.accesses[7], (PortAccess{true, 0x378, 0x07}));
    EXPECT_EQ(host.accesses[6], (PortAccess{true, 0x37A, 12}));
}

TEST_F(T6963CTest, CyclesFollowAnotherWiring) {
    // CE on pin 14, C/D on pin 16, WR on pin 1, RD on pin 17.
    gSettings->setWiringCS(1);
    gSettings->setWiringA0(2);
    gSettings->setWiringWR(0);
    gSettings->setWiringRD(3);
    driver.init();
    host.clear();
    driver.writeCommand(0x9C);
    driver.writeData(0x55);
    const std::vector<uint16_t> expected{4, 5, 7, 5, 4, 0, /* data */ 0, 1, 3, 1, 0};
    std::vector<uint16_t> seen;
    for (const PortAccess& a : controlWrites()) seen.push_back(a.value);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(items({0x378, 2, 4, 1}), (BusItems{cmd(0x9C), dat(0x55)}));
}

TEST_F(T6963CTest, AWireOutsideTheFourLinesLeavesThatLineUndrivenButTheCycleRuns) {
    gSettings->setWiringCS(7);
    driver.init();
    host.clear();
    driver.writeCommand(0x81);
    std::vector<uint16_t> seen;
    for (const PortAccess& a : controlWrites()) seen.push_back(a.value);
    EXPECT_EQ(seen, (std::vector<uint16_t>{4, 0, 0, 0, 4, 12}));
    EXPECT_EQ(host.writes()[1], (PortAccess{true, 0x378, 0x81}));
}

TEST_F(T6963CTest, RegistersFollowTheConfiguredBase) {
    gPlugin->portAddress = 0x278;
    driver.writeCommand(0x40);
    driver.writeData(1);
    for (const PortAccess& a : host.accesses) EXPECT_TRUE(a.port == 0x278 || a.port == 0x27A) << a.port;
    EXPECT_EQ(items({0x278, 1, 8, 4}), (BusItems{cmd(0x40), dat(1)}));
}

TEST_F(T6963CTest, SlowerTimingAddsExactlyTwoDataReadsWhileTheStrobeIsActive) {
    for (int32_t timing : {1, 5, -1}) {
        host.clear();
        gSettings->setInterfaceTiming(timing);
        driver.writeCommand(0xC0);
        ASSERT_EQ(host.accesses.size(), 9u) << timing;
        EXPECT_EQ(host.accesses[4], (PortAccess{false, 0x378, 0}));
        EXPECT_EQ(host.accesses[5], (PortAccess{false, 0x378, 0}));
        EXPECT_EQ(host.accesses[3], (PortAccess{true, 0x37A, 1})) << "CE and WR are active during the reads";
        driver.writeData(0);
        EXPECT_EQ(host.accesses.size(), 17u);
    }
    host.clear();
    gSettings->setInterfaceTiming(0);
    driver.writeData(0);
    for (const PortAccess& a : host.accesses) EXPECT_TRUE(a.write);
}

// ---- command sequences ----

TEST_F(T6963CTest, InitSetsTheLayoutModesAndClearsBothLayers) {
    gLcd->setSize(240, 64);
    driver.init();
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
    driver.init();
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
    driver.defineGlyph(2, rows);
    EXPECT_EQ(items(), addressItems(0x1C10) + autoWriteItems({0, 1, 2, 4, 8, 16, 31, 0}));
    host.clear();
    driver.defineGlyph(15, rows);
    const BusItems last = items();
    ASSERT_EQ(last.size(), 13u);
    EXPECT_EQ(BusItems(last.begin(), last.begin() + 3), addressItems(0x1C78));
}

TEST_F(T6963CTest, TextIsSentAsCharacterGeneratorCodes) {
    driver.writeText("A");
    EXPECT_EQ(items(), (BusItems{dat(0x21), cmd(0xC0)}));
    host.clear();
    driver.writeText("\xA3 \x1F");
    EXPECT_EQ(items(), (BusItems{dat(0x83), cmd(0xC0), dat(0x00), cmd(0xC0), dat(0xFF), cmd(0xC0)}));
    host.clear();
    driver.writeText("");
    driver.writeText(nullptr);
    EXPECT_TRUE(host.accesses.empty());
}

TEST_F(T6963CTest, RunsAndScreensAreInvertedOnlyWhenInverseIsOn) {
    const uint8_t run[] = {0x3F, 0x00, 0x2A};
    driver.writeRun(run, 3);
    EXPECT_EQ(items(), autoWriteItems({0x3F, 0x00, 0x2A}));
    host.clear();
    gSettings->setInverse(1);
    driver.writeRun(run, 3);
    EXPECT_EQ(items(), autoWriteItems({0xC0, 0xFF, 0xD5}));
    host.clear();
    driver.writeRun(run, 0);
    driver.writeRun(run, -4);
    EXPECT_EQ(items(), autoWriteItems({}) + autoWriteItems({}));
}

TEST_F(T6963CTest, ScreenIsOneAutoWriteOfTheWholeGraphicArea) {
    gLcd->setSize(128, 64);
    std::vector<uint8_t> image(LCD::backgroundBytes);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    driver.writeScreen(image.data());
    const std::vector<uint8_t> sent(image.begin(), image.begin() + 24 * 64);
    EXPECT_EQ(items(), addressItems(512) + autoWriteItems(sent));
    host.clear();
    gSettings->setInverse(1);
    driver.writeScreen(image.data());
    std::vector<uint8_t> inverted(sent);
    for (uint8_t& b : inverted) b ^= 0xFF;
    EXPECT_EQ(items(), addressItems(512) + autoWriteItems(inverted));
}

TEST_F(T6963CTest, ScreenOfTheLargestLayoutStaysInsideTheImage) {
    gLcd->setSize(320, 240);
    std::vector<uint8_t> image(LCD::backgroundBytes, 0x15);
    driver.writeScreen(image.data());
    EXPECT_EQ(items().size(), 3u + 2u + 56u * 240u);
    host.clear();
    driver.writeScreen(nullptr);
    EXPECT_TRUE(host.accesses.empty());
}

TEST_F(T6963CTest, BlocksSetTheAddressOfEveryRow) {
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    driver.writeBlock(bytes, 17, 3, 2, 3);
    const uint16_t first = 768 + 17 + 3 * 8 * 40;
    EXPECT_EQ(items(), addressItems(first) + autoWriteItems({1, 2, 3}) + addressItems(first + 40) +
                           autoWriteItems({4, 5, 6}));
    host.clear();
    gSettings->setInverse(1);
    driver.writeBlock(bytes, 0, 0, 1, 2);
    EXPECT_EQ(items(), addressItems(768) + autoWriteItems({0xFE, 0xFD}));
}

TEST_F(T6963CTest, BlockAddressesWrapAtSixteenBits) {
    gLcd->setSize(320, 240);
    const uint8_t bytes[] = {9};
    driver.writeBlock(bytes, 2, 200, 1, 1);
    EXPECT_EQ(items(), addressItems(static_cast<uint16_t>((1808 + 2 + 200 * 8 * 56) % 65536)) + autoWriteItems({9}));
}

TEST_F(T6963CTest, ClearGraphicsZeroesTheGraphicArea) {
    driver.clearGraphics();
    EXPECT_EQ(items(), addressItems(768) + autoWriteItems(zeros(40 * 128)));
}

TEST_F(T6963CTest, StatusIsReadAtBasePlusOneWithTheBusyBitInverted) {
    host.answerRead = [](uint16_t) -> uint16_t { return 0x0F; };
    EXPECT_EQ(driver.readStatus(), 0x8F);
    gPlugin->portAddress = 0x278;
    host.answerRead = [](uint16_t) -> uint16_t { return 0x1F0; };
    EXPECT_EQ(driver.readStatus(), 0x70);
    EXPECT_EQ(host.accesses, (std::vector<PortAccess>{{false, 0x379, 0x0F}, {false, 0x279, 0x1F0}}));
}

TEST_F(T6963CTest, StatusLoopShowsEveryValueUntilTheStopValue) {
    gPlugin->portAddress = 0x278;
    std::vector<uint16_t> answers{0x12, 0xFF, 0x7F};
    host.answerRead = [&answers](uint16_t) -> uint16_t {
        const uint16_t v = answers.front();
        answers.erase(answers.begin());
        return v;
    };
    EXPECT_TRUE(driver.statusLoop());
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(host.boxes[0].text, "Status: 12\n");
    EXPECT_EQ(host.boxes[1].text, "Status: FF\n");
    EXPECT_EQ(host.boxes[2].text, "Status: 7F\n");
    EXPECT_EQ(host.boxes[0].caption, "status");
    EXPECT_EQ(host.boxes[0].style, 0x30u);
    for (const PortAccess& a : host.accesses) EXPECT_EQ(a.port, 0x279);
}

TEST_F(T6963CTest, AnswersTheCodesOfItsCommandSetAndHasNoDeviceToOpen) {
    EXPECT_EQ(driver.writeIncrementCode(), 0xC0);
    EXPECT_EQ(driver.autoReadCode(), 0xB1);
    EXPECT_EQ(driver.autoWriteCode(), 0xB0);
    EXPECT_EQ(driver.autoResetCode(), 0xB2);
    EXPECT_FALSE(driver.loadDriver());
    EXPECT_EQ(driver.unloadDriver(), 0);
    driver.open();
    driver.close();
    EXPECT_TRUE(host.accesses.empty());
}

TEST(ControllerFactory, ControllerZeroIsTheT6963C) {
    std::unique_ptr<ControllerLSI> driver(createController(0));
    EXPECT_NE(dynamic_cast<T6963C*>(driver.get()), nullptr);
    for (uint8_t value : {7, 8, 255}) EXPECT_EQ(createController(value), nullptr) << int(value);
}

} // namespace
} // namespace tessaranth::test
