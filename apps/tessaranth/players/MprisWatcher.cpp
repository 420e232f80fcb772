#include "players/MprisWatcher.h"

#include "players/DBusValue.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace tessaranth::host {

namespace {

using Clock = std::chrono::steady_clock;

const QString prefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString trackListInterface = QStringLiteral("org.mpris.MediaPlayer2.TrackList");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString busService = QStringLiteral("org.freedesktop.DBus");
// How long a player may take to answer.
constexpr int answerMillis = 1000;
// How often the followed player's position is asked for and the bus connection checked.
constexpr int tickMillis = 1000;

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

QString busDescription(const QString& address) {
    const QString shown = address.isEmpty() ? qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS") : address;
    return shown.isEmpty() ? QStringLiteral("the session bus") : QStringLiteral("the session bus at ") + shown;
}

} // namespace

MprisWatcher::MprisWatcher(QString playerName, QString busAddress, LatestState& latest, ContactReport::Sink sink)
    : playerName_(std::move(playerName)), busAddress_(std::move(busAddress)), bus_(QString()), latest_(latest),
      sink_(std::move(sink)), busReport_(utf8(busDescription(busAddress_)), "trying again every second", sink_) {}

MprisWatcher::~MprisWatcher() {
    if (!connectionName_.isEmpty()) QDBusConnection::disconnectFromBus(connectionName_);
}

void MprisWatcher::start() {
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &MprisWatcher::tick);
    timer_->start(tickMillis);
    connectBus();
}

void MprisWatcher::say(const QString& line) const {
    if (sink_) sink_(utf8(line));
    else reportToUser(utf8(line));
}

// Once while there is no player to follow; the next "following" line tells of its return.
void MprisWatcher::sayAbsent() {
    if (absenceSaid_) return;
    if (playerName_.isEmpty()) say(QStringLiteral("no MPRIS player on the session bus; waiting for one to start"));
    else say(QStringLiteral("the MPRIS player ") + prefix + playerName_ + QStringLiteral(" is not on the session bus; waiting for it to start"));
}

void MprisWatcher::connectBus() {
    if (!connectionName_.isEmpty()) QDBusConnection::disconnectFromBus(connectionName_);
    connectionName_ = QStringLiteral("tessaranth-mpris-%1").arg(++connections_);
    bus_ = busAddress_.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_)
                                 : QDBusConnection::connectToBus(busAddress_, connectionName_);
    if (!bus_.isConnected()) {
        const QString reason = bus_.lastError().message();
        busReport_.failed(reason.isEmpty() ? "no address" : utf8(reason));
        return;
    }
    busReport_.reached();
    subscribe();
    call(busService, busService, QStringLiteral("ListNames"), {}, [this](const QDBusMessage& reply) {
        namesKnown_ = true;
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            for (const QString& name : reply.arguments().first().toStringList())
                if (name.startsWith(prefix)) addPlayer(name, {});
        choose();
    });
}

void MprisWatcher::tick() {
    if (!bus_.isConnected()) {
        const bool wasConnected = busReport_.failing() == false && namesKnown_;
        players_.clear();
        followed_.clear();
        namesKnown_ = false;
        if (wasConnected) busReport_.failed("the connection closed");
        publish();
        connectBus();
        return;
    }
    if (!followed_.isEmpty()) askPosition(followed_);
}

void MprisWatcher::subscribe() {
    bus_.connect(busService, QStringLiteral("/org/freedesktop/DBus"), busService, QStringLiteral("NameOwnerChanged"),
                 this, SLOT(nameOwnerChanged(QString, QString, QString)));
    const std::pair<QString, const char*> subscriptions[] = {
        {propertiesInterface, "PropertiesChanged"}, {playerInterface, "Seeked"},
        {trackListInterface, "TrackListReplaced"},  {trackListInterface, "TrackAdded"},
        {trackListInterface, "TrackRemoved"},       {trackListInterface, "TrackMetadataChanged"}};
    for (const auto& [interface, name] : subscriptions)
        bus_.connect(QString(), objectPath, interface, QString::fromLatin1(name), this, SLOT(playerSignal(QDBusMessage)));
}

void MprisWatcher::nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner) {
    if (!name.startsWith(prefix) || !namesKnown_) return;
    if (!oldOwner.isEmpty()) removePlayer(name);
    if (!newOwner.isEmpty()) addPlayer(name, newOwner);
    choose();
}

void MprisWatcher::addPlayer(const QString& name, const QString& owner) {
    Player& player = players_[name];
    player.owner = owner;
    player.order = nextOrder_++;
    player.report = std::make_unique<ContactReport>(utf8(QStringLiteral("the MPRIS player ") + name),
                                                    "trying again every second", sink_);
    if (owner.isEmpty()) {
        call(busService, busService, QStringLiteral("GetNameOwner"), {name}, [this, name](const QDBusMessage& reply) {
            const auto it = players_.find(name);
            if (it != players_.end() && reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                it->second.owner = reply.arguments().first().toString();
        });
    }
    readProperties(name);
}

void MprisWatcher::removePlayer(const QString& name) {
    if (players_.erase(name) && name == followed_) say(name + QStringLiteral(" has quit"));
}

bool MprisWatcher::wanted(const QString& name) const {
    if (playerName_.isEmpty()) return true;
    const QString exact = prefix + playerName_;
    return name == exact || name.startsWith(exact + QLatin1Char('.'));
}

// The followed player stays while it plays or while no other plays; else the first that plays,
// else the first there is.
void MprisWatcher::choose() {
    if (!namesKnown_) return;
    std::vector<std::pair<uint64_t, QString>> candidates;
    for (const auto& [name, player] : players_)
        if (wanted(name)) candidates.emplace_back(player.order, name);
    std::sort(candidates.begin(), candidates.end());
    const auto followed = players_.find(followed_);
    const bool keep = followed != players_.end() && wanted(followed_) && followed->second.model.playing();
    QString chosen = keep ? followed_ : QString();
    for (const auto& [order, name] : candidates)
        if (chosen.isEmpty() && players_.at(name).model.playing()) chosen = name;
    if (chosen.isEmpty() && followed != players_.end() && wanted(followed_)) chosen = followed_;
    if (chosen.isEmpty() && !candidates.empty()) chosen = candidates.front().second;
    if (chosen != followed_ && !chosen.isEmpty()) {
        say(QStringLiteral("following ") + chosen);
        askPosition(chosen);
    }
    followed_ = chosen;
    if (chosen.isEmpty()) sayAbsent();
    absenceSaid_ = chosen.isEmpty();
    publish();
}

void MprisWatcher::publish() {
    const auto it = players_.find(followed_);
    if (it == players_.end()) {
        latest_.publish({PlayerState{}, Clock::now(), 0});
        return;
    }
    const Player& player = it->second;
    latest_.publish({player.model.state(), player.positionTime, player.answering ? player.model.rate() : 0});
}

void MprisWatcher::readProperties(const QString& name) {
    call(name, propertiesInterface, QStringLiteral("GetAll"), {playerInterface}, [this, name](const QDBusMessage& reply) {
        const auto it = players_.find(name);
        if (it == players_.end() || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
        takeProperties(it->second, mprisValueOf(reply.arguments().first()));
        choose();
    });
    call(name, propertiesInterface, QStringLiteral("Get"), {rootInterface, QStringLiteral("HasTrackList")},
         [this, name](const QDBusMessage& reply) {
             const auto it = players_.find(name);
             if (it == players_.end() || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
             const MprisValue has = mprisValueOf(reply.arguments().first());
             if (has.kind == MprisValue::Kind::boolean && has.boolean) readTrackList(name);
         });
}

void MprisWatcher::readTrackList(const QString& name) {
    call(name, propertiesInterface, QStringLiteral("Get"), {trackListInterface, QStringLiteral("Tracks")},
         [this, name](const QDBusMessage& reply) {
             if (!players_.count(name) || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                 return;
             const MprisValue tracks = mprisValueOf(reply.arguments().first());
             QList<QDBusObjectPath> ids;
             for (const MprisValue& id : tracks.items)
                 if (id.kind == MprisValue::Kind::text && ids.size() < static_cast<qsizetype>(mostPlaylistEntries))
                     ids.append(QDBusObjectPath(QString::fromStdString(id.text)));
             call(name, trackListInterface, QStringLiteral("GetTracksMetadata"), {QVariant::fromValue(ids)},
                  [this, name](const QDBusMessage& answer) {
                      const auto it = players_.find(name);
                      if (it == players_.end() || answer.type() != QDBusMessage::ReplyMessage ||
                          answer.arguments().isEmpty())
                          return;
                      it->second.model.setTrackList(mprisValueOf(answer.arguments().first()));
                      if (name == followed_) publish();
                  });
         });
}

void MprisWatcher::askPosition(const QString& name) {
    const auto it = players_.find(name);
    if (it == players_.end() || it->second.positionAsked) return;
    it->second.positionAsked = true;
    call(name, propertiesInterface, QStringLiteral("Get"), {playerInterface, QStringLiteral("Position")},
         [this, name](const QDBusMessage& reply) {
             const auto found = players_.find(name);
             if (found == players_.end()) return;
             Player& player = found->second;
             player.positionAsked = false;
             if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                 // Its clock stands still until it answers again.
                 settlePosition(player);
                 player.answering = false;
                 player.report->failed(utf8(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage()));
             } else {
                 player.answering = true;
                 player.report->reached();
                 player.model.setPosition(mprisValueOf(reply.arguments().first()));
                 player.positionTime = Clock::now();
             }
             if (name == followed_) publish();
         });
}

void MprisWatcher::takeProperties(Player& player, const MprisValue& properties) {
    settlePosition(player);
    for (const auto& [property, value] : properties.entries) player.model.setProperty(property, value);
}

void MprisWatcher::settlePosition(Player& player) {
    const auto now = Clock::now();
    if (player.model.playing() && player.answering) {
        const double played = std::chrono::duration<double, std::milli>(now - player.positionTime).count();
        const double position = player.model.positionMillis() + played * player.model.rate();
        player.model.setPositionMillis(static_cast<int32_t>(std::min<double>(position, std::numeric_limits<int32_t>::max())));
    }
    player.positionTime = now;
}

std::map<QString, MprisWatcher::Player>::iterator MprisWatcher::playerOf(const QDBusMessage& message) {
    return std::find_if(players_.begin(), players_.end(), [&message](const auto& entry) {
        return !entry.second.owner.isEmpty() && entry.second.owner == message.service();
    });
}

void MprisWatcher::playerSignal(const QDBusMessage& message) {
    const auto found = playerOf(message);
    if (found == players_.end()) return;
    const QString name = found->first;
    Player* player = &found->second;
    const QList<QVariant> arguments = message.arguments();
    if (message.member() == QLatin1String("Seeked") && !arguments.isEmpty()) {
        player->model.setPosition(mprisValueOf(arguments.first()));
        player->positionTime = Clock::now();
    } else if (message.member() == QLatin1String("PropertiesChanged") && arguments.size() >= 3) {
        const QString interface = arguments.at(0).toString();
        const MprisValue changed = mprisValueOf(arguments.at(1));
        const MprisValue invalidated = mprisValueOf(arguments.at(2));
        if (interface == playerInterface) {
            takeProperties(*player, changed);
            if (!invalidated.items.empty()) readProperties(name);
            if (changed.find("Metadata") || changed.find("PlaybackStatus")) askPosition(name);
            choose();
        } else if (interface == trackListInterface || (interface == rootInterface && changed.find("HasTrackList"))) {
            const MprisValue* has = changed.find("HasTrackList");
            if (has && has->kind == MprisValue::Kind::boolean && !has->boolean) player->model.dropTrackList();
            else readTrackList(name);
        }
    } else if (message.interface() == trackListInterface) {
        readTrackList(name);
    }
    if (name == followed_) publish();
}

void MprisWatcher::call(const QString& name, const QString& interface, const QString& method,
                        const QVariantList& arguments, Reply onReply) {
    const QString path = name == busService ? QStringLiteral("/org/freedesktop/DBus") : objectPath;
    QDBusMessage message = QDBusMessage::createMethodCall(name, path, interface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message, answerMillis), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [onReply = std::move(onReply)](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        onReply(done->reply());
    });
}

} // namespace tessaranth::host
