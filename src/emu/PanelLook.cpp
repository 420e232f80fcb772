// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/PanelLook.h"

#include "emu/ScreenImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tessaranth::emu {

namespace {

// An OLED's light follows its drive current; the picture shows it in sRGB, whose values grow
// with about the 1/2.2th power of light.
constexpr double kDisplayGamma = 2.2;

uint8_t scaled(uint8_t value, double factor) {
    return static_cast<uint8_t>(static_cast<double>(value) * std::clamp(factor, 0.0, 1.0) + 0.5);
}

uint8_t between(uint8_t from, uint8_t to, double share) {
    return static_cast<uint8_t>(std::lround(from + (static_cast<double>(to) - from) * share));
}

Rgb mix(Rgb from, Rgb to, double share) {
    return {between(from.red, to.red, share), between(from.green, to.green, share), between(from.blue, to.blue, share)};
}

bool isOled(PanelKind kind) {
    return kind == PanelKind::OledWhite || kind == PanelKind::OledBlue || kind == PanelKind::OledYellowBlue ||
           kind == PanelKind::OledYellow;
}

// An OLED's colour at full drive in glass row `row`.
Rgb oledColour(PanelKind kind, int row) {
    constexpr Rgb kYellow{0xFF, 0xD4, 0x2A};
    constexpr Rgb kBlue{0x46, 0xB8, 0xFF};
    switch (kind) {
    case PanelKind::OledWhite: return {0xF0, 0xF4, 0xFF};
    case PanelKind::OledBlue: return kBlue;
    case PanelKind::OledYellowBlue: return row < PanelLook::kYellowRows ? kYellow : kBlue;
    default: return {0xFF, 0xC4, 0x30};
    }
}

// The lit colour of a panel that is not an OLED.
Rgb fullColour(const PanelLook& look) {
    switch (look.kind) {
    case PanelKind::LcdGreen: return {0x22, 0x2C, 0x1E};
    case PanelKind::LcdBlue: return {0x10, 0x18, 0x48};
    case PanelKind::Vfd: return {scaled(0x50, look.brightness), scaled(0xFF, look.brightness), scaled(0xEC, look.brightness)};
    case PanelKind::StnBlue: return {0xE4, 0xEC, 0xFF};
    case PanelKind::StnYellowGreen: return {0x24, 0x30, 0x14};
    default: return {0, 0, 0};
    }
}

constexpr std::array<std::pair<PanelColour, std::string_view>, 7> kColourNames{{
    {PanelColour::usual, "usual"},
    {PanelColour::green, "green"},
    {PanelColour::blue, "blue"},
    {PanelColour::white, "white"},
    {PanelColour::yellowBlue, "yellow-blue"},
    {PanelColour::yellowGreen, "yellow-green"},
    {PanelColour::amber, "amber"},
}};

} // namespace

std::string_view nameOf(PanelColour colour) {
    for (const auto& [named, name] : kColourNames)
        if (named == colour) return name;
    return "usual";
}

std::optional<PanelColour> panelColourNamed(std::string_view name) {
    for (const auto& [colour, named] : kColourNames)
        if (named == name) return colour;
    return std::nullopt;
}

Rgb PanelLook::litColour() const { return colourOf(ScreenImage::kFullLevel, kYellowRows); }

Rgb PanelLook::unlitColour() const {
    switch (kind) {
    case PanelKind::LcdGreen: return {0x9C, 0xB4, 0x8A};
    case PanelKind::LcdBlue: return {0x48, 0x6C, 0xE8};
    case PanelKind::Vfd: return {0x04, 0x0C, 0x0C};
    case PanelKind::StnBlue: return {0x1C, 0x38, 0xC8};
    case PanelKind::StnYellowGreen: return {0xB2, 0xC6, 0x30};
    default: return {0x0A, 0x0C, 0x10};  // an OLED's glass
    }
}

Rgb PanelLook::colourOf(int level, int row) const {
    const double share = std::clamp(level, 0, ScreenImage::kFullLevel) / static_cast<double>(ScreenImage::kFullLevel);
    if (!isOled(kind)) return mix(unlitColour(), fullColour(*this), share);
    const double light = share * std::clamp(brightness, 0.0, 1.0);
    return mix(unlitColour(), oledColour(kind, row), std::pow(light, 1.0 / kDisplayGamma));
}

} // namespace tessaranth::emu
