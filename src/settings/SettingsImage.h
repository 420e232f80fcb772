// SPDX-License-Identifier: GPL-2.0-or-later
// The settings record's bytes from `version` to `reserved15`: exactly the 520 bytes of a
// configuration file, little-endian, in storage order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaranth {

struct SettingsImage {
    char version[64];
    int32_t updateDelay;
    int32_t interfaceTiming;
    uint8_t inverse;
    uint8_t autoSensing;
    uint8_t extTrackSupport;
    int8_t backlight;
    uint8_t showSplashscreen;
    uint8_t enableButtons;
    uint8_t scrollSpeed;
    uint8_t scrollTitle;
    uint8_t scrollArtist;
    uint8_t font;
    char background[128];
    uint8_t reserved0[4];
    uint8_t timeType;
    uint8_t trackNumbering;
    uint8_t reserved1[3];
    uint8_t showAnalyzer;
    uint8_t showScope;
    uint8_t showModelEngine;
    uint8_t showPlaylist;
    uint8_t showVUMeter;
    uint8_t analyzerSens;
    uint8_t nonLinearAnalyzer;
    uint8_t stereoAnalyzer;
    uint8_t blockAnalyzer;
    uint8_t smoothAnalyzer;
    uint8_t falloff;
    uint8_t peakHold;
    uint8_t analyzerType;
    uint8_t reserved2;
    uint8_t scopeSens;
    uint8_t stereoScope;
    uint8_t blockScope;
    uint8_t smoothScope;
    uint8_t scopeType;
    uint8_t reserved3;
    uint8_t vuMeterSens;
    uint8_t vuMeterRange;
    uint8_t vuMeterType;
    uint8_t reserved4[6];
    uint8_t showTitle;
    uint8_t showArtist;
    uint8_t showTrack;
    uint8_t showTime;
    uint8_t showSamplerate;
    uint8_t showBitrate;
    uint8_t showTrackinfo;
    uint8_t showStatus;
    uint8_t showRepeat;
    uint8_t showShuffle;
    uint16_t titleXY;
    uint16_t artistXY;
    uint16_t trackXY;
    uint16_t timeXY;
    uint16_t samplerateXY;
    uint16_t bitrateXY;
    uint16_t trackinfoXY;
    uint16_t statusXY;
    uint16_t repeatXY;
    uint16_t shuffleXY;
    uint16_t titleLength;
    uint16_t artistLength;
    uint8_t realtimeUpdate;
    uint8_t playlistHeight;
    uint8_t playlistWidth;
    uint8_t alignment0;
    uint16_t playlistXY;
    uint8_t analyzerHeight;
    uint8_t analyzerWidth;
    uint16_t analyzerXY;
    uint8_t reserved5[4];
    uint8_t scopeHeight;
    uint8_t scopeWidth;
    uint16_t scopeXY;
    uint8_t reserved6[4];
    uint8_t modelEngineHeight;
    uint8_t modelEngineWidth;
    uint16_t modelEngineXY;
    uint8_t reserved7[4];
    uint8_t vuMeterHeight;
    uint8_t vuMeterWidth;
    uint16_t vuMeterXY;
    uint8_t reserved8[4];
    uint8_t legacyLptIndex;
    uint8_t controller;
    uint8_t api;
    uint8_t displayFormat;
    uint8_t wiringCS;
    uint8_t wiringA0;
    uint8_t wiringWR;
    uint8_t wiringRD;
    uint8_t wiringReset;
    uint8_t reserved9;
    uint8_t buttonWiring;
    uint8_t reserved10;
    uint8_t buttonFunction[16];
    uint8_t brightness;
    uint8_t currentPosition;
    uint8_t reserved11[8];
    uint8_t alignment1[2];
    uint32_t lptAddress;
    uint32_t reserved12[4];
    uint8_t reserved13[10];
    char reserved14[64];
    char reserved15[66];
};

constexpr std::size_t settingsImageSize = 520;

static_assert(sizeof(SettingsImage) == settingsImageSize);
static_assert(offsetof(SettingsImage, updateDelay) == 0x040);
static_assert(offsetof(SettingsImage, inverse) == 0x048);
static_assert(offsetof(SettingsImage, background) == 0x052);
static_assert(offsetof(SettingsImage, timeType) == 0x0D6);
static_assert(offsetof(SettingsImage, showAnalyzer) == 0x0DB);
static_assert(offsetof(SettingsImage, analyzerSens) == 0x0E0);
static_assert(offsetof(SettingsImage, scopeSens) == 0x0E9);
static_assert(offsetof(SettingsImage, vuMeterSens) == 0x0EF);
static_assert(offsetof(SettingsImage, showTitle) == 0x0F8);
static_assert(offsetof(SettingsImage, titleXY) == 0x102);
static_assert(offsetof(SettingsImage, titleLength) == 0x116);
static_assert(offsetof(SettingsImage, realtimeUpdate) == 0x11A);
static_assert(offsetof(SettingsImage, playlistXY) == 0x11E);
static_assert(offsetof(SettingsImage, analyzerHeight) == 0x120);
static_assert(offsetof(SettingsImage, scopeHeight) == 0x128);
static_assert(offsetof(SettingsImage, modelEngineHeight) == 0x130);
static_assert(offsetof(SettingsImage, vuMeterHeight) == 0x138);
static_assert(offsetof(SettingsImage, legacyLptIndex) == 0x140);
static_assert(offsetof(SettingsImage, wiringCS) == 0x144);
static_assert(offsetof(SettingsImage, buttonFunction) == 0x14C);
static_assert(offsetof(SettingsImage, brightness) == 0x15C);
static_assert(offsetof(SettingsImage, lptAddress) == 0x168);
static_assert(offsetof(SettingsImage, reserved12) == 0x16C);
static_assert(offsetof(SettingsImage, reserved13) == 0x17C);
static_assert(offsetof(SettingsImage, reserved14) == 0x186);
static_assert(offsetof(SettingsImage, reserved15) == 0x1C6);

} // namespace tessaranth
