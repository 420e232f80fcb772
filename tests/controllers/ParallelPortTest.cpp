#include "PluginFixture.h"

#include "controllers/ParallelPort.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

namespace tessaranth::test {
namespace {

class ParallelPortTest : public PluginFixture {
protected:
    void wire(uint32_t cs, uint32_t a0, uint32_t wr, uint32_t rd) {
        gSettings->setWiringCS(cs);
        gSettings->setWiringA0(a0);
        gSettings->setWiringWR(wr);
        gSettings->setWiringRD(rd);
        port.takeWiring();
    }

    ParallelPort port;
};

TEST_F(ParallelPortTest, MasksFollowTheWiringSettings) {
    wire(0, 3, 2, 1);
    EXPECT_EQ(port.csMask(), 1);
    EXPECT_EQ(port.a0Mask(), 8);
    EXPECT_EQ(port.wrMask(), 4);
    EXPECT_EQ(port.rdMask(), 2);
    wire(1, 2, 0, 3);
    EXPECT_EQ(port.csMask(), 2);
    EXPECT_EQ(port.a0Mask(), 4);
    EXPECT_EQ(port.wrMask(), 1);
    EXPECT_EQ(port.rdMask(), 8);
}

TEST_F(ParallelPortTest, AWireOutsideTheFourLinesDrivesNothing) {
    gPlugin->portAddress = 0x378;
    wire(4, 255, 2, 9);
    EXPECT_EQ(port.csMask(), 0);
    EXPECT_EQ(port.a0Mask(), 0);
    EXPECT_EQ(port.wrMask(), 4);
    EXPECT_EQ(port.rdMask(), 0);
    port.writeControl(4);
    port.toggle(port.csMask());
    port.toggle(port.wrMask());
    EXPECT_EQ(host.writes(), (std::vector<PortAccess>{{true, 0x37A, 4}, {true, 0x37A, 4}, {true, 0x37A, 0}}));
}

TEST_F(ParallelPortTest, TogglingFlipsOnlyTheLineAndWritesTheWholeShadow) {
    gPlugin->portAddress = 0x378;
    wire(0, 3, 2, 1);
    port.writeControl(4);
    port.toggle(port.wrMask());
    port.toggle(port.csMask());
    port.toggle(port.csMask());
    port.toggle(port.wrMask());
    port.toggle(port.a0Mask());
    EXPECT_EQ(port.controlShadow(), 12);
    EXPECT_EQ(host.writes(), (std::vector<PortAccess>{{true, 0x37A, 4},
                                                      {true, 0x37A, 0},
                                                      {true, 0x37A, 1},
                                                      {true, 0x37A, 0},
                                                      {true, 0x37A, 4},
                                                      {true, 0x37A, 12}}));
}

TEST_F(ParallelPortTest, SettingTheShadowWritesNothingUntilTheNextToggle) {
    gPlugin->portAddress = 0x378;
    wire(0, 3, 2, 1);
    port.setControlShadow(4);
    EXPECT_TRUE(host.accesses.empty());
    port.toggle(port.a0Mask());
    EXPECT_EQ(host.writes(), (std::vector<PortAccess>{{true, 0x37A, 12}}));
}

TEST_F(ParallelPortTest, RegistersSitAtTheConfiguredBase) {
    gPlugin->portAddress = 0x278;
    host.answerRead = [](uint16_t p) -> uint16_t { return p == 0x279 ? 0x1F7 : 0xAB55; };
    port.writeControl(4);
    ParallelPort::writeData(0x1234);
    EXPECT_EQ(ParallelPort::readData(), 0x55);
    EXPECT_EQ(ParallelPort::readStatus(), 0xF7);
    EXPECT_EQ(host.accesses, (std::vector<PortAccess>{{true, 0x27A, 4},
                                                      {true, 0x278, 0x1234},
                                                      {false, 0x278, 0xAB55},
                                                      {false, 0x279, 0x1F7}}));
}

TEST_F(ParallelPortTest, TheBaseIsReadAtEveryAccess) {
    gPlugin->portAddress = 0x3BC;
    ParallelPort::writeData(1);
    gPlugin->portAddress = 0x2BC;
    ParallelPort::writeData(2);
    EXPECT_EQ(host.writes(), (std::vector<PortAccess>{{true, 0x3BC, 1}, {true, 0x2BC, 2}}));
}

} // namespace
} // namespace tessaranth::test
