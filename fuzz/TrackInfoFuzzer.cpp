// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as the player's window title and answers, frame after frame: the track
// fields of a running plug-in, scrolling included, for the controller, places and lengths the
// bytes choose.
#include "FuzzHost.h"

#include "controllers/ControllerTable.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

namespace {

using namespace tessaranth;

// Every track field shown, at places and lengths from the bytes.
void showTrackFields(fuzz::ByteReader& reader) {
    Settings& s = *gSettings;
    s.setController(static_cast<uint8_t>(reader.byte() % std::size(controllerTable)));
    s.setDisplayFormat(reader.byte() % 10);
    s.setBackground("");
    for (auto show : {&Settings::setShowTitle, &Settings::setShowArtist, &Settings::setShowTrack,
                      &Settings::setShowTime, &Settings::setShowSamplerate, &Settings::setShowBitrate,
                      &Settings::setShowTrackinfo, &Settings::setShowStatus, &Settings::setShowRepeat,
                      &Settings::setShowShuffle})
        (s.*show)(1);
    for (auto set : {&Settings::setScrollTitle, &Settings::setScrollArtist, &Settings::setScrollSpeed,
                     &Settings::setTitleLength, &Settings::setArtistLength, &Settings::setTitleX,
                     &Settings::setTitleY, &Settings::setArtistX, &Settings::setArtistY, &Settings::setTrackX,
                     &Settings::setTimeY, &Settings::setExtTrackSupport, &Settings::setTimeType,
                     &Settings::setTrackNumbering, &Settings::setFont})
        (s.*set)(reader.byte());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::installQuietHost();
    loadPlugin();
    fuzz::ByteReader reader(data, size);
    showTrackFields(reader);
    fuzz::runPlugin(reader, 12, [](VisModule&) {});
    unloadPlugin();
    return 0;
}
