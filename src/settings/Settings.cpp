// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/Settings.h"

#include "settings/BusFields.h"
#include "settings/PluginVersion.h"

namespace tessaranth {

void relaxedCopyText(char* destination, std::size_t size, const char* source) {
    if (size == 0) return;
    std::size_t i = 0;
    for (; i + 1 < size; ++i) {
        const char c = relaxedLoad(source[i]);
        if (c == '\0') break;
        relaxedStore(destination[i], c);
    }
    relaxedStore(destination[i], '\0');
}

namespace {

constexpr uint16_t position(uint8_t column, uint8_t line) {
    return static_cast<uint16_t>(column << 8 | line);
}

void fillDefaults(SettingsImage& s) {
    // The two alignment places are part of the image but keep what construction found there.
    const uint8_t alignment0 = s.alignment0;
    const uint8_t alignment1[2] = {s.alignment1[0], s.alignment1[1]};
    s = SettingsImage{};
    s.alignment0 = alignment0;
    s.alignment1[0] = alignment1[0];
    s.alignment1[1] = alignment1[1];

    relaxedCopyText(s.version, sizeof s.version, pluginVersion);
    s.updateDelay = 60;
    s.interfaceTiming = 1;
    s.scrollSpeed = 5;
    s.scrollTitle = 1;
    relaxedCopyText(s.background, sizeof s.background, "No skin selected");
    s.analyzerSens = 5;
    s.smoothAnalyzer = 1;
    s.falloff = 3;
    s.peakHold = 5;
    s.scopeSens = 5;
    s.vuMeterSens = 1;
    s.vuMeterRange = 4;
    s.showTitle = 1;
    s.showArtist = 1;
    uint16_t* const textPositions[] = {&s.titleXY,      &s.artistXY,  &s.trackXY,    &s.timeXY,
                                       &s.samplerateXY, &s.bitrateXY, &s.trackinfoXY, &s.statusXY,
                                       &s.repeatXY,     &s.shuffleXY};
    uint8_t line = 0;
    for (uint16_t* p : textPositions) *p = position(0, line++);
    s.titleLength = 20;
    s.artistLength = 20;
    s.playlistHeight = 5;
    s.playlistWidth = 15;
    s.playlistXY = position(0, 2);
    s.analyzerHeight = 16;
    s.analyzerWidth = 4;
    s.analyzerXY = position(17, 24);
    s.reserved5[0] = s.reserved5[1] = 1;
    s.scopeHeight = 16;
    s.scopeWidth = 4;
    s.scopeXY = position(17, 40);
    s.reserved6[0] = s.reserved6[1] = 1;
    s.modelEngineHeight = 8;
    s.modelEngineWidth = 1;
    s.reserved7[0] = s.reserved7[1] = 1;
    s.vuMeterHeight = 48;
    s.vuMeterWidth = 12;
    s.vuMeterXY = position(5, 8);
    s.reserved8[0] = s.reserved8[1] = 1;
    s.api = 1;
    s.wiringA0 = 3;
    s.wiringWR = 2;
    s.wiringRD = 1;
    s.wiringReset = 1;
    s.reserved9 = 9;
    for (uint8_t i = 0; i < 16; ++i) s.buttonFunction[i] = i;
    s.brightness = 8;
    s.currentPosition = 3;
    s.lptAddress = 0x378;
}

} // namespace

Settings::Settings() { fillDefaults(image_); }

void Settings::setBackground(const char* path) {
    relaxedCopyText(image_.background, sizeof image_.background, path ? path : "");
}

void Settings::copyBackground(char (&buffer)[128]) const {
    relaxedCopyText(buffer, sizeof buffer, image_.background);
}

BusSettings Settings::bus() const {
    BusSettings copy;
    copyBus(copy, bus_);
    return copy;
}

void Settings::setBus(const BusSettings& bus) {
    BusSettings bounded = bus;
    boundBus(bounded);
    copyBus(bus_, bounded);
}

uint8_t Settings::buttonFunction(int button) const {
    if (button < 0 || button >= 16) return 0;
    return relaxedLoad(image_.buttonFunction[button]);
}

void Settings::setButtonFunction(int button, uint32_t value) {
    if (button < 0 || button >= 16) return;
    relaxedStore(image_.buttonFunction[button], static_cast<uint8_t>(value));
}

void Settings::storePositionByte(uint16_t& field, uint32_t value, bool column) {
    const uint16_t old = relaxedLoad(field);
    const uint16_t byte = static_cast<uint16_t>(value & 0xFF);
    relaxedStore(field, static_cast<uint16_t>(column ? (old & 0x00FF) | byte << 8 : (old & 0xFF00) | byte));
}

} // namespace tessaranth
