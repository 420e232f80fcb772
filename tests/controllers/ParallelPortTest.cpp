// SPDX-License-Identifier: GPL-2.0-or-later
#include "PluginFixture.h"

#include "controllers/DriverOptions.h"
#include "controllers/ParallelPort.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <memory>

namespace tessaranth::test {
namespace {

ParallelPort lptPort(uint16_t base, const PortWiring& wiring) {
    return ParallelPort(std::make_unique<LptRegisters>(base), wiring);
}

using ParallelPortTest = PluginFixture;

TEST_F(ParallelPortTest, MasksFollowTheWiringSettings) {
    gSettings->setWiringCS(0);
    gSettings->setWiringA0(3);
    gSettings->setWiringWR(2);
    gSettings->setWiringRD(1);
    const ParallelPort first = lptPort(0x378, driverSetup(*gSettings).wiring);
    EXPECT_EQ(first.csMask(), 1);
    EXPECT_EQ(first.a0Mask(), 8);
    EXPECT_EQ(first.wrMask(), 4);
    EXPECT_EQ(first.rdMask(), 2);
    gSettings->setWiringCS(1);
    gSettings->setWiringA0(2);
    gSettings->setWiringWR(0);
    gSettings->setWiringRD(3);
    const ParallelPort second = lptPort(0x378, driverSetup(*gSettings).wiring);
    EXPECT_EQ(second.csMask(), 2);
    EXPECT_EQ(second.a0Mask(), 4);
    EXPECT_EQ(second.wrMask(), 1);
    EXPECT_EQ(second.rdMask(), 8);
    EXPECT_EQ(first.csMask(), 1) << "a port keeps the wiring it was made with";
}

TEST_F(ParallelPortTest, AWireOutsideTheFourLinesDrivesNothing) {
    for (int16_t choice : {0, 1, 2, 3}) EXPECT_EQ(ParallelPort::wireBit(choice), 1 << choice);
    for (int16_t choice : {4, 9, 255, -1, -32768}) EXPECT_EQ(ParallelPort::wireBit(choice), 0) << choice;
    gSettings->setWiringCS(4);
    gSettings->setWiringA0(255);
    gSettings->setWiringWR(2);
    gSettings->setWiringRD(9);
    ParallelPort port = lptPort(0x378, driverSetup(*gSettings).wiring);
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
    ParallelPort port = lptPort(0x378, {0, 3, 2, 1});
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
    ParallelPort port = lptPort(0x378, {0, 3, 2, 1});
    port.setControlShadow(4);
    EXPECT_TRUE(host.accesses.empty());
    port.toggle(port.a0Mask());
    EXPECT_EQ(host.writes(), (std::vector<PortAccess>{{true, 0x37A, 12}}));
}

TEST_F(ParallelPortTest, RegistersSitAtTheBaseItWasMadeWith) {
    host.answerRead = [](uint16_t p) -> uint16_t { return p == 0x279 ? 0x1F7 : 0xAB55; };
    ParallelPort port = lptPort(0x278, {0, 3, 2, 1});
    port.writeControl(4);
    port.writeData(0x1234);
    EXPECT_EQ(port.readData(), 0x55);
    EXPECT_EQ(port.readStatus(), 0xF7);
    EXPECT_EQ(host.accesses, (std::vector<PortAccess>{{true, 0x27A, 4},
                                                      {true, 0x278, 0x1234},
                                                      {false, 0x278, 0xAB55},
                                                      {false, 0x279, 0x1F7}}));
}

TEST_F(ParallelPortTest, EachPortKeepsItsOwnBaseAndShadow) {
    ParallelPort first = lptPort(0x3BC, {0, 3, 2, 1});
    ParallelPort second = lptPort(0x2BC, {0, 3, 2, 1});
    first.writeControl(4);
    second.writeData(2);
    first.toggle(first.csMask());
    EXPECT_EQ(second.controlShadow(), 0);
    EXPECT_EQ(host.writes(), (std::vector<PortAccess>{{true, 0x3BE, 4}, {true, 0x2BC, 2}, {true, 0x3BE, 5}}));
}

TEST_F(ParallelPortTest, TheSettingsGiveTheDriversTheirSetupAndOptions) {
    gSettings->setLptAddress(0x3BC);
    EXPECT_EQ(driverSetup(*gSettings).portAddress, 0x3BC);
    gSettings->setInverse(0);
    gSettings->setInterfaceTiming(0);
    EXPECT_FALSE(driverOptions(*gSettings).inverse);
    EXPECT_FALSE(driverOptions(*gSettings).slowStrobe);
    gSettings->setInverse(2);
    gSettings->setInterfaceTiming(-1);
    EXPECT_TRUE(driverOptions(*gSettings).inverse);
    EXPECT_TRUE(driverOptions(*gSettings).slowStrobe);
}

} // namespace
} // namespace tessaranth::test
