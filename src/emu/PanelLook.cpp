#include "emu/PanelLook.h"

#include <algorithm>

namespace tessaranth::emu {

namespace {

uint8_t scaled(uint8_t value, double factor) {
    return static_cast<uint8_t>(static_cast<double>(value) * std::clamp(factor, 0.0, 1.0) + 0.5);
}

} // namespace

Rgb PanelLook::litColour() const {
    switch (kind) {
    case PanelKind::LcdGreen: return {0x22, 0x2C, 0x1E};
    case PanelKind::LcdBlue: return {0x10, 0x18, 0x48};
    case PanelKind::Vfd: return {scaled(0x50, brightness), scaled(0xFF, brightness), scaled(0xEC, brightness)};
    }
    return {0, 0, 0};
}

Rgb PanelLook::unlitColour() const {
    switch (kind) {
    case PanelKind::LcdGreen: return {0x9C, 0xB4, 0x8A};
    case PanelKind::LcdBlue: return {0x48, 0x6C, 0xE8};
    case PanelKind::Vfd: return {0x04, 0x0C, 0x0C};
    }
    return {0, 0, 0};
}

} // namespace tessaranth::emu
