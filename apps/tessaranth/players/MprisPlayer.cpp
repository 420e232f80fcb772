// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/MprisPlayer.h"

#include "players/MprisNames.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <limits>

namespace tessaranth::host {

namespace {

bool answered(const BusMessage& reply) { return reply.type == BusMessage::Type::reply && !reply.arguments.empty(); }

std::string_view textOf(const MprisValue& value) {
    return value.kind == MprisValue::Kind::text ? std::string_view(value.text) : std::string_view();
}

BusCall propertyCall(std::string_view method, std::string_view interface, std::string_view property = {}) {
    std::vector<std::string> texts{std::string(interface)};
    if (!property.empty()) texts.emplace_back(property);
    return {{}, std::string(mpris::objectPath), std::string(mpris::propertiesInterface), std::string(method), std::move(texts), {}};
}

} // namespace

BusCall MprisPlayer::callFor(Question question) {
    switch (question) {
    case Question::properties: return propertyCall("GetAll", mpris::playerInterface);
    case Question::hasTrackList: return propertyCall("Get", mpris::rootInterface, "HasTrackList");
    case Question::tracks: return propertyCall("Get", mpris::trackListInterface, "Tracks");
    case Question::tracksMetadata:
        return {{}, std::string(mpris::objectPath), std::string(mpris::trackListInterface), "GetTracksMetadata", {}, {}};
    case Question::position: return propertyCall("Get", mpris::playerInterface, "Position");
    }
    return {};
}

MprisPlayer::MprisPlayer(std::string owner, uint64_t order, ContactReport report)
    : owner_(std::move(owner)), order_(order), report_(std::move(report)) {}

MprisPlayer::Needs MprisPlayer::hear(const BusMessage& signal) {
    if (signal.interface == mpris::playerInterface && signal.member == "Seeked" && !signal.arguments.empty()) {
        model_.setPosition(signal.arguments.front());
        positionTime_ = Clock::now();
        return {.changed = true};
    }
    if (signal.interface == mpris::propertiesInterface && signal.member == "PropertiesChanged" &&
        signal.arguments.size() >= 3)
        return heardProperties(signal);
    Needs needs;
    needs.trackList = signal.interface == mpris::trackListInterface;
    return needs;
}

// PropertiesChanged: the interface, the changed properties with their values, the names of the
// changed ones whose values it leaves out.
MprisPlayer::Needs MprisPlayer::heardProperties(const BusMessage& signal) {
    const std::string_view interface = textOf(signal.arguments[0]);
    const MprisValue& changed = signal.arguments[1];
    Needs needs;
    if (interface == mpris::playerInterface) {
        takeProperties(changed);
        needs.properties = !signal.arguments[2].items.empty();
        needs.position = changed.find("Metadata") || changed.find("PlaybackStatus");
        needs.choice = true;
    } else if (interface == mpris::trackListInterface || (interface == mpris::rootInterface && changed.find("HasTrackList"))) {
        const MprisValue* has = changed.find("HasTrackList");
        if (has && has->kind == MprisValue::Kind::boolean && !has->boolean) {
            model_.dropTrackList();
            trackListWanted_.reset();
            needs.changed = true;
        } else {
            needs.trackList = true;
        }
    }
    return needs;
}

MprisPlayer::Needs MprisPlayer::answer(Question question, const BusMessage& reply) {
    Needs needs;
    switch (question) {
    case Question::properties:
        if (!answered(reply)) break;
        takeProperties(reply.arguments.front());
        needs.choice = true;
        break;
    case Question::hasTrackList: {
        const MprisValue& has = reply.argument(0);
        needs.trackList = answered(reply) && has.kind == MprisValue::Kind::boolean && has.boolean;
        break;
    }
    case Question::tracks:
        if (answered(reply)) takeTrackIds(reply.arguments.front());
        else endTrackListRead();
        needs.trackMetadata = answered(reply);
        break;
    case Question::tracksMetadata:
        if (answered(reply)) model_.setTrackList(reply.arguments.front());
        endTrackListRead();
        needs.changed = answered(reply);
        break;
    case Question::position:
        takePosition(reply);
        needs.changed = true;
        break;
    }
    return needs;
}

void MprisPlayer::takeProperties(const MprisValue& properties) {
    settlePosition();
    for (const auto& [property, value] : properties.entries) model_.setProperty(property, value);
}

// Ids that are no object paths cannot be asked for (nor can they name a track of the list).
void MprisPlayer::takeTrackIds(const MprisValue& tracks) {
    trackIds_.clear();
    for (const MprisValue& id : tracks.items) {
        if (trackIds_.size() == mostPlaylistEntries) break;
        if (id.kind == MprisValue::Kind::text && dbus_validate_path(id.text.c_str(), nullptr) &&
            id.text.size() == std::char_traits<char>::length(id.text.c_str()))
            trackIds_.push_back(id.text);
    }
}

void MprisPlayer::takePosition(const BusMessage& reply) {
    positionAsked_ = false;
    if (answered(reply)) {
        answering_ = true;
        report_.reached();
        model_.setPosition(reply.arguments.front());
        positionTime_ = Clock::now();
        return;
    }
    // Its clock stands still until it answers again.
    settlePosition();
    answering_ = false;
    report_.failed(reply.type == BusMessage::Type::error ? reply.errorText() : "an answer without a value");
}

void MprisPlayer::settlePosition() {
    const auto now = Clock::now();
    if (model_.playing() && answering_) {
        const double played = std::chrono::duration<double, std::milli>(now - positionTime_).count();
        const double position = model_.positionMillis() + played * model_.rate();
        model_.setPositionMillis(static_cast<int32_t>(std::min<double>(position, std::numeric_limits<int32_t>::max())));
    }
    positionTime_ = now;
}

void MprisPlayer::wantTrackList(Clock::time_point when) {
    if (!trackListWanted_ || when < *trackListWanted_) trackListWanted_ = when;
}

std::optional<MprisPlayer::Clock::time_point> MprisPlayer::trackListDue() const {
    return readingTrackList_ ? std::nullopt : trackListWanted_;
}

void MprisPlayer::startTrackListRead() {
    readingTrackList_ = true;
    trackListWanted_.reset();
}

LatestState::Snapshot MprisPlayer::snapshot() const {
    return {model_.state(), positionTime_, answering_ ? model_.rate() : 0};
}

} // namespace tessaranth::host
