// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/MprisWatcher.h"

#include "players/MprisNames.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace tessaranth::host {

namespace {

using Clock = std::chrono::steady_clock;

// How long a player may take to answer.
constexpr int answerMillis = 1000;
// How often the followed player's position is asked for and the bus connection checked.
constexpr auto tickTime = std::chrono::milliseconds(1000);
// A track list is read this long after the first signal that changed it, so that a burst of
// signals (a player adding a folder track by track) costs one read, not one for each.
constexpr auto trackListPause = std::chrono::milliseconds(100);

std::string busDescription(const std::string& address) {
    const char* session = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string shown = !address.empty() ? address : session ? session : "";
    return shown.empty() ? "the session bus" : "the session bus at " + shown;
}

std::string signalRule(std::string_view path, std::string_view interface, std::string_view member) {
    return "type='signal',path='" + std::string(path) + "',interface='" + std::string(interface) + "',member='" +
           std::string(member) + "'";
}

// Sleeps until `until` or until wakeFd becomes readable.
void sleepUntil(Clock::time_point until, int wakeFd) {
    const auto millis = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    pollfd wake{wakeFd, POLLIN, 0};
    poll(&wake, 1, static_cast<int>(std::clamp<int64_t>(millis, 0, 60000)));
}

} // namespace

MprisWatcher::MprisWatcher(std::string playerName, std::string busAddress, LatestState& latest, ContactReport::Sink sink)
    : playerName_(std::move(playerName)), busAddress_(std::move(busAddress)), latest_(latest), sink_(std::move(sink)),
      busReport_(busDescription(busAddress_), "trying again every second", sink_) {}

void MprisWatcher::run(const std::atomic<bool>& stopping, int wakeFd) {
    auto nextTick = Clock::now();
    while (!stopping) {
        if (Clock::now() >= nextTick) {
            tick();
            nextTick = Clock::now() + tickTime;
        }
        readDueTrackLists();
        if (bus_) bus_->wait(nextWake(nextTick), wakeFd);
        else sleepUntil(nextTick, wakeFd);
    }
}

void MprisWatcher::say(const std::string& line) const {
    if (sink_) sink_(line);
    else reportToUser(line);
}

// Once while there is no player to follow; the next "following" line tells of its return.
void MprisWatcher::sayAbsent() {
    if (absenceSaid_) return;
    if (playerName_.empty()) say("no MPRIS player on the session bus; waiting for one to start");
    else say("the MPRIS player " + std::string(mpris::namePrefix) + playerName_ + " is not on the session bus; waiting for it to start");
}

void MprisWatcher::connectBus() {
    bus_.reset();
    std::string failure;
    bus_ = BusConnection::open(busAddress_, failure);
    if (!bus_) {
        busReport_.failed(failure);
        return;
    }
    busReport_.reached();
    bus_->onSignal([this](const BusMessage& signal) { heard(signal); });
    subscribe();
    bus_->call(busDriverCall("ListNames"), answerMillis, [this](const BusMessage& reply) {
        namesKnown_ = true;
        if (reply.type == BusMessage::Type::reply)
            for (const MprisValue& name : reply.argument(0).items)
                if (name.kind == MprisValue::Kind::text && name.text.starts_with(mpris::namePrefix)) addPlayer(name.text, {});
        choose();
    });
}

void MprisWatcher::tick() {
    if (!bus_ || !bus_->connected()) {
        const bool wasConnected = !busReport_.failing() && namesKnown_;
        players_.clear();
        followed_.clear();
        namesKnown_ = false;
        if (wasConnected) busReport_.failed("the connection closed");
        publish();
        connectBus();
        return;
    }
    if (!followed_.empty()) askPosition(followed_);
}

// The bus tells of players that come and go; the players' own signals come from their object.
void MprisWatcher::subscribe() {
    bus_->listen(signalRule(mpris::busPath, mpris::busName, "NameOwnerChanged") + ",sender='" +
                 std::string(mpris::busName) + "',arg0namespace='" +
                 std::string(mpris::namePrefix.substr(0, mpris::namePrefix.size() - 1)) + "'");
    const std::pair<std::string_view, std::string_view> subscriptions[] = {
        {mpris::propertiesInterface, "PropertiesChanged"}, {mpris::playerInterface, "Seeked"},
        {mpris::trackListInterface, "TrackListReplaced"},  {mpris::trackListInterface, "TrackAdded"},
        {mpris::trackListInterface, "TrackRemoved"},       {mpris::trackListInterface, "TrackMetadataChanged"}};
    for (const auto& [interface, member] : subscriptions) bus_->listen(signalRule(mpris::objectPath, interface, member));
}

void MprisWatcher::heard(const BusMessage& signal) {
    if (signal.sender == mpris::busName) {
        if (signal.member == "NameOwnerChanged") nameOwnerChanged(signal);
        return;
    }
    const auto found = std::find_if(players_.begin(), players_.end(), [&signal](const auto& entry) {
        return !entry.second.owner().empty() && entry.second.owner() == signal.sender;
    });
    if (found == players_.end()) return;
    const std::string name = found->first;
    act(name, found->second.hear(signal));
}

void MprisWatcher::nameOwnerChanged(const BusMessage& signal) {
    const std::string& name = signal.argument(0).text;
    if (!name.starts_with(mpris::namePrefix) || !namesKnown_) return;
    if (!signal.argument(1).text.empty()) removePlayer(name);
    if (!signal.argument(2).text.empty()) addPlayer(name, signal.argument(2).text);
    choose();
}

void MprisWatcher::addPlayer(const std::string& name, const std::string& owner) {
    players_.insert_or_assign(name, MprisPlayer(owner, nextOrder_++,
                                                ContactReport("the MPRIS player " + name, "trying again every second", sink_)));
    if (owner.empty()) {
        bus_->call(busDriverCall("GetNameOwner", {name}), answerMillis, [this, name](const BusMessage& reply) {
            const auto it = players_.find(name);
            if (it != players_.end() && reply.type == BusMessage::Type::reply && reply.argument(0).kind == MprisValue::Kind::text)
                it->second.setOwner(reply.argument(0).text);
        });
    }
    readProperties(name);
}

void MprisWatcher::removePlayer(const std::string& name) {
    if (players_.erase(name) && name == followed_) say(name + " has quit");
}

bool MprisWatcher::wanted(const std::string& name) const {
    if (playerName_.empty()) return true;
    const std::string exact = std::string(mpris::namePrefix) + playerName_;
    return name == exact || name.starts_with(exact + '.');
}

// The followed player stays while it plays or while no other plays; else the first that plays,
// else the first there is.
void MprisWatcher::choose() {
    if (!namesKnown_) return;
    std::vector<std::pair<uint64_t, std::string>> candidates;
    for (const auto& [name, player] : players_)
        if (wanted(name)) candidates.emplace_back(player.order(), name);
    std::sort(candidates.begin(), candidates.end());
    const auto followed = players_.find(followed_);
    const bool keep = followed != players_.end() && wanted(followed_) && followed->second.playing();
    std::string chosen = keep ? followed_ : std::string();
    for (const auto& [order, name] : candidates)
        if (chosen.empty() && players_.at(name).playing()) chosen = name;
    if (chosen.empty() && followed != players_.end() && wanted(followed_)) chosen = followed_;
    if (chosen.empty() && !candidates.empty()) chosen = candidates.front().second;
    if (chosen != followed_ && !chosen.empty()) {
        say("following " + chosen);
        askPosition(chosen);
    }
    followed_ = chosen;
    if (chosen.empty()) sayAbsent();
    absenceSaid_ = chosen.empty();
    publish();
}

void MprisWatcher::publish() {
    const auto it = players_.find(followed_);
    latest_.publish(it == players_.end() ? LatestState::Snapshot{PlayerState{}, Clock::now(), 0} : it->second.snapshot());
}

void MprisWatcher::act(const std::string& name, const MprisPlayer::Needs& needs) {
    const auto it = players_.find(name);
    if (it == players_.end()) return;
    if (needs.trackList) it->second.wantTrackList(Clock::now() + trackListPause);
    if (needs.properties) readProperties(name);
    if (needs.trackMetadata) askMetadata(name);
    if (needs.position) askPosition(name);
    if (needs.choice) choose();
    else if (needs.changed && name == followed_) publish();
}

void MprisWatcher::readProperties(const std::string& name) {
    ask(name, Question::properties);
    ask(name, Question::hasTrackList);
}

void MprisWatcher::readDueTrackLists() {
    const auto now = Clock::now();
    std::vector<std::string> due;
    for (const auto& [name, player] : players_)
        if (const auto when = player.trackListDue(); when && *when <= now) due.push_back(name);
    for (const std::string& name : due) readTrackList(name);
}

void MprisWatcher::readTrackList(const std::string& name) {
    MprisPlayer& player = players_.at(name);
    player.startTrackListRead();
    if (!ask(name, Question::tracks)) player.endTrackListRead();
}

void MprisWatcher::askMetadata(const std::string& name) {
    MprisPlayer& player = players_.at(name);
    if (!ask(name, Question::tracksMetadata, player.trackIds())) player.endTrackListRead();
}

void MprisWatcher::askPosition(const std::string& name) {
    const auto it = players_.find(name);
    if (it == players_.end() || it->second.positionAsked()) return;
    it->second.askedPosition();
    ask(name, Question::position);
}

bool MprisWatcher::ask(const std::string& name, Question question, std::optional<std::vector<std::string>> trackIds) {
    BusCall call = MprisPlayer::callFor(question);
    call.destination = name;
    call.objectPaths = std::move(trackIds);
    return bus_->call(call, answerMillis, [this, name, question](const BusMessage& reply) {
        const auto it = players_.find(name);
        if (it != players_.end()) act(name, it->second.answer(question, reply));
    });
}

MprisWatcher::Clock::time_point MprisWatcher::nextWake(Clock::time_point tick) const {
    for (const auto& [name, player] : players_)
        if (const auto when = player.trackListDue()) tick = std::min(tick, *when);
    return tick;
}

} // namespace tessaranth::host
