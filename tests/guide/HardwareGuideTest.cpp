// The hardware guide's wiring tables: which presets suit which controller, and the rewriting of
// the generated part of the document.
#include "HardwareGuide.h"

#include "config/WiringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaranth;
using namespace tessaranth::guide;

namespace {

const ControllerWiring& wiringOf(uint8_t controller) {
    for (const ControllerWiring& wiring : controllerWirings())
        if (wiring.controller == controller) return wiring;
    throw std::logic_error("no wiring for controller " + std::to_string(controller));
}

std::vector<std::size_t> suitablePresets(const ControllerWiring& wiring) {
    std::vector<std::size_t> presets;
    for (std::size_t preset = 0; preset < wiringPresetLines.size(); ++preset)
        if (wiringPresetLines[preset][0] >= 0 && fitPreset(wiring, preset).problem.empty()) presets.push_back(preset);
    return presets;
}

} // namespace

TEST(HardwareGuide, PresetsSuitTheControllersWhoseFixedLinesTheyKeep) {
    // Every board preset places every signal of the two controllers that follow the settings.
    const std::vector<std::size_t> all = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(suitablePresets(wiringOf(0)), all);
    EXPECT_EQ(suitablePresets(wiringOf(1)), all);
    // RS (KS0108B) and C/D (Noritake) stay on pin 17 and CSS on pin 1: the two SED1330 boards'
    // cables put other signals there.
    const std::vector<std::size_t> pin17OnSelect = {1, 2, 4, 6};
    EXPECT_EQ(suitablePresets(wiringOf(3)), pin17OnSelect);
    EXPECT_EQ(suitablePresets(wiringOf(5)), pin17OnSelect);
    EXPECT_EQ(fitPreset(wiringOf(3), 3).problem, "RS is always on pin 17, the preset puts it on pin 16");
    EXPECT_EQ(fitPreset(wiringOf(5), 5).problem, "CSS is always on pin 1, the preset puts it on pin 14");
}

TEST(HardwareGuide, PinsFollowThePresetExceptWhereTheDriverKeepsALine) {
    // "Fenwold (KS0108B)": CS on Strobe, A0 on Select, WR on Line, RD on Init.
    EXPECT_EQ(fitPreset(wiringOf(0), 2).pins, (std::array<int, 4>{1, 17, 14, 16}));
    // "PowerLCD (SED1330)" on its own controller: CS on Line, A0 on Init, WR on Strobe, RD on Select.
    EXPECT_EQ(fitPreset(wiringOf(1), 3).pins, (std::array<int, 4>{14, 16, 1, 17}));
    // The Noritake's fixed lines win over a preset that names them elsewhere.
    EXPECT_EQ(fitPreset(wiringOf(5), 3).pins, (std::array<int, 4>{1, 17, 1, 17}));
}

TEST(HardwareGuide, OnlyTheGeneratedPartOfTheDocumentIsRewritten) {
    const std::string before = "# Guide\n\nhand-written text\n\n";
    const std::string after = "\n\n## More\nmore hand-written text\n";
    const std::string stale = before + std::string(sectionStart) + "\nold tables\n" + std::string(sectionEnd) + after;

    const auto fresh = withWiringSection(stale);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(*fresh, before + wiringSection() + after);
    EXPECT_EQ(withWiringSection(*fresh), fresh) << "a current document stays as it is";
    EXPECT_NE(fresh->find("| \"Pollin (SED1330)\" | Line (pin 14) | Init (pin 16) | Strobe (pin 1) | Select (pin 17) |"),
              std::string::npos);

    EXPECT_FALSE(withWiringSection(before + after));
    EXPECT_FALSE(withWiringSection(before + std::string(sectionStart) + after)) << "no end marker";
    EXPECT_FALSE(withWiringSection(std::string(sectionEnd) + before + std::string(sectionStart))) << "end before start";
}
