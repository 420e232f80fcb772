// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormFixture.h"
#include "PageBusDecoders.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <algorithm>
#include <array>
#include <string>

namespace tessaranth::test {
namespace {

using FormHardware = FormFixture;

std::array<std::string, 4> wireLabels(const TConfigForm& form) {
    return {form.state("SelectWire").text, form.state("CommandWire").text, form.state("WriteWire").text,
            form.state("ReadWire").text};
}

struct ControllerRow {
    int index;
    std::array<std::string, 4> labels;
    bool brightness, blockModes;
};

const ControllerRow controllerRows[] = {
    {0, {"CE", "C/D", "WR", "RD"}, false, true},        {1, {"CS", "A0", "WR", "RD"}, false, true},
    {2, {"CS", "A0", "WR", "RD"}, false, true},         {3, {"E", "RS", "CS1", "CS2"}, false, false},
    {4, {"E", "RS", "CS1", "CS2"}, false, false},       {5, {"CSS", "C/D", "WR", "RD"}, true, false},
    {6, {"N/A", "N/A", "N/A", "N/A"}, false, true},
};

TEST_F(FormHardware, ChoosingAControllerRelabelsTheWiringAndEnablesItsControls) {
    for (const ControllerRow& row : controllerRows) {
        choose("ControllerChoice", row.index);
        EXPECT_EQ(gSettings->controller(), row.index);
        EXPECT_EQ(wireLabels(*form), row.labels) << row.index;
        EXPECT_EQ(state("Brightness").enabled, row.brightness) << row.index;
        for (const char* box : {"BlockAnalyzer", "BlockScope", "ShowVUMeter"})
            EXPECT_EQ(state(box).enabled, row.blockModes) << box << " with controller " << row.index;
    }
}

TEST_F(FormHardware, DisablingTheBlockBoxesKeepsTheirTicksAndFields) {
    click("BlockAnalyzer");
    click("ShowVUMeter");
    choose("ControllerChoice", 3);
    EXPECT_TRUE(state("BlockAnalyzer").checked);
    EXPECT_TRUE(state("ShowVUMeter").checked);
    EXPECT_TRUE(gSettings->blockAnalyzer());
    EXPECT_TRUE(gSettings->showVUMeter());
    click("ShowVUMeter");  // greyed out: the click cannot reach it
    EXPECT_TRUE(gSettings->showVUMeter());
}

TEST_F(FormHardware, AnUnknownControllerIsLabelledSoAndSelectsNoEntry) {
    gSettings->setController(12);
    form->fill();
    EXPECT_EQ(state("ControllerChoice").selected, -1);
    EXPECT_EQ(wireLabels(*form), (std::array<std::string, 4>{"unknown", "unknown", "unknown", "unknown"}));
    EXPECT_TRUE(state("BlockScope").enabled);
    EXPECT_FALSE(state("Brightness").enabled);
}

TEST_F(FormHardware, TheWiringLabelsAskForAControllerUntilTheFirstFill) {
    const ControlSpec& label = formControls()[static_cast<std::size_t>(control("ReadWire"))];
    EXPECT_STREQ(label.caption, "select controller first");
    EXPECT_EQ(state("ReadWire").text, "RD");
}

TEST_F(FormHardware, PortAddressOutsideTheListIsShownAsHexText) {
    gSettings->setLptAddress(0x3F8);
    form->fill();
    EXPECT_EQ(state("LPTAddress").text, "0x3F8");
    EXPECT_EQ(state("LPTAddress").selected, -1);
    choose("LPTAddress", 1);
    EXPECT_EQ(gSettings->lptAddress(), 0x278);
    EXPECT_EQ(state("LPTAddress").text, "0x278   (LPT2)");
    gSettings->setLptAddress(0xBC);
    form->fill();
    EXPECT_EQ(state("LPTAddress").text, "0xBC");
}

TEST_F(FormHardware, EveryPortEntryStoresItsAddress) {
    const uint16_t addresses[] = {0x378, 0x278, 0x3BC, 0x2BC};
    for (int entry = 3; entry >= 0; --entry) {
        choose("LPTAddress", entry);
        EXPECT_EQ(gSettings->lptAddress(), addresses[entry]);
    }
    gSettings->setLptAddress(0x2BC);
    form->fill();
    EXPECT_EQ(state("LPTAddress").selected, 3);
}

TEST_F(FormHardware, TypedPortAddressChangesNothing) {
    type("LPTAddress", "0x3F8");
    EXPECT_EQ(state("LPTAddress").text, "0x3F8");
    EXPECT_EQ(gSettings->lptAddress(), 0x378);
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(FormHardware, WiringListsStoreTheirLines) {
    choose("WiringCS", 3);
    choose("WiringA0", 0);
    choose("WiringWR", 1);
    choose("WiringRD", 2);
    EXPECT_EQ(gSettings->wiringCS(), 3);
    EXPECT_EQ(gSettings->wiringA0(), 0);
    EXPECT_EQ(gSettings->wiringWR(), 1);
    EXPECT_EQ(gSettings->wiringRD(), 2);
}

TEST_F(FormHardware, PresetsSetTheListsAndStoreThem) {
    choose("WiringPreset", 3);  // PowerLCD (SED1330)
    EXPECT_EQ(state("WiringCS").selected, 1);
    EXPECT_EQ(state("WiringA0").selected, 2);
    EXPECT_EQ(state("WiringWR").selected, 0);
    EXPECT_EQ(state("WiringRD").selected, 3);
    EXPECT_EQ((std::array<int, 4>{gSettings->wiringCS(), gSettings->wiringA0(), gSettings->wiringWR(),
                                  gSettings->wiringRD()}),
              (std::array<int, 4>{1, 2, 0, 3}));
    EXPECT_EQ(state("WiringPreset").selected, 3);

    choose("WiringPreset", 2);  // Fenwold (KS0108B)
    EXPECT_EQ((std::array<int, 4>{gSettings->wiringCS(), gSettings->wiringA0(), gSettings->wiringWR(),
                                  gSettings->wiringRD()}),
              (std::array<int, 4>{0, 3, 1, 2}));
}

TEST_F(FormHardware, PresetsWithoutAnAssignmentLeaveTheWiringAlone) {
    choose("WiringPreset", 3);
    for (int entry : {7, 0}) {
        choose("WiringPreset", entry);
        EXPECT_EQ(gSettings->wiringCS(), 1);
        EXPECT_EQ(gSettings->wiringRD(), 3);
        EXPECT_EQ(state("WiringCS").selected, 1);
        EXPECT_EQ(state("WiringPreset").selected, entry);
    }
}

TEST_F(FormHardware, TheFillLeavesThePresetListAlone) {
    choose("WiringPreset", 5);
    gSettings->setWiringCS(2);
    form->fill();
    EXPECT_EQ(state("WiringPreset").selected, 5);
    EXPECT_EQ(state("WiringCS").selected, 2);
    TConfigForm reopened;
    EXPECT_EQ(reopened.state("WiringPreset").selected, 0);
}

TEST_F(FormHardware, WiringValuesOutsideTheListSelectNothing) {
    gSettings->setWiringWR(7);
    gSettings->setDisplayFormat(12);
    gSettings->setApi(2);
    form->fill();
    EXPECT_EQ(state("WiringWR").selected, -1);
    EXPECT_EQ(state("DisplaySizeChoice").selected, -1);
    EXPECT_EQ(state("APIChoice").selected, -1);
}

TEST_F(FormHardware, DisplaySizeStoresItsIndex) {
    choose("DisplaySizeChoice", 10);
    EXPECT_EQ(gSettings->displayFormat(), 10);
    choose("DisplaySizeChoice", 11);  // no such entry
    EXPECT_EQ(gSettings->displayFormat(), 10);
}

TEST_F(FormHardware, ButtonListsStoreTheirFunction) {
    choose("Button5", 7);
    EXPECT_EQ(gSettings->buttonFunction(4), 7);
    choose("Button16", 14);  // hidden, but its list exists and stores
    EXPECT_EQ(gSettings->buttonFunction(15), 14);
    EXPECT_FALSE(state("Button16").visible);
    gSettings->setButtonFunction(0, 22);
    gSettings->setButtonFunction(1, 30);
    form->fill();
    EXPECT_EQ(state("Button1").selected, 22);
    EXPECT_EQ(state("Button2").selected, -1);
}

TEST_F(FormHardware, TheButtonWiringListChangesNothing) {
    EXPECT_EQ(state("COM-Control").selected, 0);
    choose("COM-Control", 0);
    EXPECT_EQ(gSettings->buttonWiring(), 0);
}

TEST_F(FormHardware, BrightnessStoresTheIndexAndNeedsNoDisplay) {
    choose("Brightness", 3);  // disabled unless the controller is the VFD
    EXPECT_EQ(gSettings->brightness(), 8);
    choose("ControllerChoice", 5);
    delete gLcd;
    gLcd = nullptr;
    choose("Brightness", 15);
    EXPECT_EQ(gSettings->brightness(), 15);
}

TEST_F(FormHardware, BrightnessReachesARunningVfdThroughTheNextFrameNotTheDialogThread) {
    gSettings->setController(5);
    gSettings->setDisplayFormat(0);
    init();
    form->fill();
    render();
    host.clear();
    choose("Brightness", 3);
    EXPECT_TRUE(host.accesses.empty()) << "the dialog's thread wrote to the port";
    EXPECT_EQ(gPlugin->brightnessPending, 1);
    render();
    const std::vector<VfdItem> sent = decodeNoritake(host.accesses);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), VfdItem{true, 0x43}), 1);
    EXPECT_EQ(gPlugin->brightnessPending, 0);
}

TEST_F(FormHardware, APIChoiceIsDisabledAndShowsTheField) {
    EXPECT_FALSE(state("APIChoice").enabled);
    EXPECT_EQ(state("APIChoice").selected, 1);
}

} // namespace
} // namespace tessaranth::test
