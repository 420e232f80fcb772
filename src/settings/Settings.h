// SPDX-License-Identifier: GPL-2.0-or-later
// The one record of user settings. The dialog writes it on one thread while frames read it on
// another, so every field is read and stored through relaxed atomic accesses.
#pragma once

#include "platform/Registry.h"
#include "settings/BusSettings.h"
#include "settings/SettingsImage.h"

#include <atomic>
#include <cstdint>

namespace tessaranth {

template <class T>
T relaxedLoad(const T& field) {
    return std::atomic_ref<T>(const_cast<T&>(field)).load(std::memory_order_relaxed);
}

template <class T>
void relaxedStore(T& field, T value) {
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

// Copies a NUL-terminated text field byte by byte, keeping at most size - 1 characters.
void relaxedCopyText(char* destination, std::size_t size, const char* source);

using platform::hkeyCurrentUser;

#define TESSARANTH_READ(type, name) \
    type name() const { return relaxedLoad(image_.name); }
#define TESSARANTH_BYTE(name, Setter) \
    TESSARANTH_READ(uint8_t, name) \
    void Setter(uint32_t value) { relaxedStore(image_.name, static_cast<uint8_t>(value)); }
#define TESSARANTH_POSITION(name, SetX, SetY) \
    TESSARANTH_READ(uint16_t, name) \
    void SetX(uint32_t value) { storePositionByte(image_.name, value, true); } \
    void SetY(uint32_t value) { storePositionByte(image_.name, value, false); }

class Settings {
public:
    Settings();

    TESSARANTH_READ(int32_t, updateDelay)
    void setUpdateDelay(int32_t value) { relaxedStore(image_.updateDelay, value); }
    TESSARANTH_READ(int32_t, interfaceTiming)
    void setInterfaceTiming(int32_t value) { relaxedStore(image_.interfaceTiming, value); }
    TESSARANTH_BYTE(inverse, setInverse)
    TESSARANTH_BYTE(autoSensing, setAutoSensing)
    TESSARANTH_BYTE(extTrackSupport, setExtTrackSupport)
    TESSARANTH_READ(int8_t, backlight)
    TESSARANTH_BYTE(showSplashscreen, setShowSplashscreen)
    TESSARANTH_READ(uint8_t, enableButtons)
    TESSARANTH_BYTE(scrollSpeed, setScrollSpeed)
    TESSARANTH_BYTE(scrollTitle, setScrollTitle)
    TESSARANTH_BYTE(scrollArtist, setScrollArtist)
    TESSARANTH_BYTE(font, setFont)
    const char* background() const { return image_.background; }
    void setBackground(const char* path);
    // A stable copy of the background path, safe while the dialog edits it.
    void copyBackground(char (&buffer)[128]) const;
    TESSARANTH_BYTE(timeType, setTimeType)
    TESSARANTH_BYTE(trackNumbering, setTrackNumbering)
    TESSARANTH_BYTE(showAnalyzer, setShowAnalyzer)
    TESSARANTH_BYTE(showScope, setShowScope)
    TESSARANTH_BYTE(showModelEngine, setShowModelEngine)
    TESSARANTH_BYTE(showPlaylist, setShowPlaylist)
    TESSARANTH_BYTE(showVUMeter, setShowVUMeter)
    TESSARANTH_BYTE(analyzerSens, setAnalyzerSens)
    TESSARANTH_BYTE(nonLinearAnalyzer, setNonLinearAnalyzer)
    TESSARANTH_BYTE(stereoAnalyzer, setStereoAnalyzer)
    TESSARANTH_BYTE(blockAnalyzer, setBlockAnalyzer)
    TESSARANTH_BYTE(smoothAnalyzer, setSmoothAnalyzer)
    TESSARANTH_BYTE(falloff, setFalloff)
    TESSARANTH_BYTE(peakHold, setPeakHold)
    TESSARANTH_BYTE(scopeSens, setScopeSens)
    TESSARANTH_BYTE(stereoScope, setStereoScope)
    TESSARANTH_BYTE(blockScope, setBlockScope)
    TESSARANTH_BYTE(smoothScope, setSmoothScope)
    TESSARANTH_BYTE(scopeType, setScopeType)
    TESSARANTH_BYTE(vuMeterSens, setVuMeterSens)
    TESSARANTH_BYTE(vuMeterRange, setVuMeterRange)
    TESSARANTH_BYTE(showTitle, setShowTitle)
    TESSARANTH_BYTE(showArtist, setShowArtist)
    TESSARANTH_BYTE(showTrack, setShowTrack)
    TESSARANTH_BYTE(showTime, setShowTime)
    TESSARANTH_BYTE(showSamplerate, setShowSamplerate)
    TESSARANTH_BYTE(showBitrate, setShowBitrate)
    TESSARANTH_BYTE(showTrackinfo, setShowTrackinfo)
    TESSARANTH_BYTE(showStatus, setShowStatus)
    TESSARANTH_BYTE(showRepeat, setShowRepeat)
    TESSARANTH_BYTE(showShuffle, setShowShuffle)
    TESSARANTH_POSITION(titleXY, setTitleX, setTitleY)
    TESSARANTH_POSITION(artistXY, setArtistX, setArtistY)
    TESSARANTH_POSITION(trackXY, setTrackX, setTrackY)
    TESSARANTH_POSITION(timeXY, setTimeX, setTimeY)
    TESSARANTH_POSITION(samplerateXY, setSamplerateX, setSamplerateY)
    TESSARANTH_POSITION(bitrateXY, setBitrateX, setBitrateY)
    TESSARANTH_POSITION(trackinfoXY, setTrackinfoX, setTrackinfoY)
    TESSARANTH_POSITION(statusXY, setStatusX, setStatusY)
    TESSARANTH_POSITION(repeatXY, setRepeatX, setRepeatY)
    TESSARANTH_POSITION(shuffleXY, setShuffleX, setShuffleY)
    uint8_t titleLength() const { return static_cast<uint8_t>(relaxedLoad(image_.titleLength)); }
    void setTitleLength(uint32_t value) { relaxedStore(image_.titleLength, static_cast<uint16_t>(value & 0xFF)); }
    uint8_t artistLength() const { return static_cast<uint8_t>(relaxedLoad(image_.artistLength)); }
    void setArtistLength(uint32_t value) { relaxedStore(image_.artistLength, static_cast<uint16_t>(value & 0xFF)); }
    TESSARANTH_BYTE(realtimeUpdate, setRealtimeUpdate)
    TESSARANTH_BYTE(playlistHeight, setPlaylistHeight)
    TESSARANTH_BYTE(playlistWidth, setPlaylistWidth)
    TESSARANTH_POSITION(playlistXY, setPlaylistX, setPlaylistY)
    TESSARANTH_BYTE(analyzerHeight, setAnalyzerHeight)
    TESSARANTH_BYTE(analyzerWidth, setAnalyzerWidth)
    TESSARANTH_POSITION(analyzerXY, setAnalyzerX, setAnalyzerY)
    TESSARANTH_BYTE(scopeHeight, setScopeHeight)
    TESSARANTH_BYTE(scopeWidth, setScopeWidth)
    TESSARANTH_POSITION(scopeXY, setScopeX, setScopeY)
    TESSARANTH_BYTE(vuMeterHeight, setVuMeterHeight)
    TESSARANTH_BYTE(vuMeterWidth, setVuMeterWidth)
    TESSARANTH_POSITION(vuMeterXY, setVuMeterX, setVuMeterY)
    TESSARANTH_BYTE(controller, setController)
    TESSARANTH_BYTE(api, setApi)
    TESSARANTH_BYTE(displayFormat, setDisplayFormat)
    TESSARANTH_BYTE(wiringCS, setWiringCS)
    TESSARANTH_BYTE(wiringA0, setWiringA0)
    TESSARANTH_BYTE(wiringWR, setWiringWR)
    TESSARANTH_BYTE(wiringRD, setWiringRD)
    TESSARANTH_READ(uint8_t, buttonWiring)
    uint8_t buttonFunction(int button) const;            // button 0..15
    void setButtonFunction(int button, uint32_t value);  // button 0..15, out of range ignored
    TESSARANTH_BYTE(brightness, setBrightness)
    TESSARANTH_BYTE(currentPosition, setCurrentPosition)
    uint16_t lptAddress() const { return static_cast<uint16_t>(relaxedLoad(image_.lptAddress)); }
    void setLptAddress(uint16_t address) { relaxedStore(image_.lptAddress, static_cast<uint32_t>(address)); }

    // Where the display is. A copy, safe while the dialog edits the record; a store keeps a
    // setting out of its range at its default.
    BusSettings bus() const;
    void setBus(const BusSettings& bus);

    // Persistence: the registry and configuration files.
    bool loadFromRegistry();
    // False, after one box, when the record was not stored whole.
    bool saveToRegistry();
    bool saveToFile();
    bool loadFromFile();

    // The raw record, for the persistence operations and tests only.
    SettingsImage& image() { return image_; }
    const SettingsImage& image() const { return image_; }
    uint32_t rootKey() const { return rootKey_; }
    const char* keyPath() const { return keyPath_; }
    char* loadedVersion() { return loadedVersion_; }

private:
    static void storePositionByte(uint16_t& field, uint32_t value, bool column);

    uint32_t rootKey_ = hkeyCurrentUser;
    const char* keyPath_ = "Software\\Kolvy\\Graphical LCD\\Tessaranth";
    SettingsImage image_;
    BusSettings bus_;
    char loadedVersion_[32] = {};
};

#undef TESSARANTH_READ
#undef TESSARANTH_BYTE
#undef TESSARANTH_POSITION

} // namespace tessaranth
