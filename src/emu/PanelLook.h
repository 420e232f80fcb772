// How a panel shows its pixels: the colours of a lit and an unlit dot.
#pragma once

#include <cstdint>

namespace tessaranth::emu {

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

enum class PanelKind : uint8_t {
    LcdGreen,  // dark dots on a green-grey panel
    LcdBlue,   // dark dots on a blue panel
    Vfd,       // cyan glow on black, dimmed by the brightness
};

struct PanelLook {
    PanelKind kind = PanelKind::LcdGreen;
    double brightness = 1.0;  // 0..1, only a VFD uses it

    Rgb litColour() const;
    Rgb unlitColour() const;
};

} // namespace tessaranth::emu
