// SPDX-License-Identifier: GPL-2.0-or-later
// How a panel shows its pixels: the colours of a lit and an unlit dot, and of the levels between.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaranth::emu {

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

enum class PanelKind : uint8_t {
    LcdGreen,        // dark dots on a green-grey panel
    LcdBlue,         // dark dots on a blue panel
    Vfd,             // cyan glow on black, dimmed by the brightness
    OledWhite,       // white light on black, as bright as the drive current
    OledBlue,        // blue light on black
    OledYellowBlue,  // two-colour: the top kYellowRows rows yellow, the rest blue
    OledYellow,      // yellow light on black, the greyscale modules' usual colour
    StnBlue,         // light dots on a blue STN panel
    StnYellowGreen,  // dark dots on a yellow-green STN panel
};

// The colour a person asks of a virtual display's panel, named as the modules are sold; what it
// means depends on the display (blue: a blue LCD, OLED or STN panel). `usual`: the display's
// most common one.
enum class PanelColour : uint8_t { usual, green, blue, white, yellowBlue, yellowGreen, amber };

// "yellow-blue" for PanelColour::yellowBlue, and back; nothing for a name that is none.
std::string_view nameOf(PanelColour colour);
std::optional<PanelColour> panelColourNamed(std::string_view name);

struct PanelLook {
    // The rows of a two-colour OLED that shine yellow, from the top.
    static constexpr int kYellowRows = 16;

    PanelKind kind = PanelKind::LcdGreen;
    // 0..1: a VFD's brightness, or the share of an OLED's full drive current that its contrast
    // (and master current) let through. LCDs ignore it.
    double brightness = 1.0;

    // A fully lit dot (on a two-colour OLED, one below the yellow rows) and an unlit one.
    Rgb litColour() const;
    Rgb unlitColour() const;
    // A dot at light level `level` (0..ScreenImage::kFullLevel) in glass row `row`. Level 0 is
    // unlitColour(); the full level is litColour(), but for a two-colour OLED's yellow rows.
    Rgb colourOf(int level, int row) const;
};

} // namespace tessaranth::emu
