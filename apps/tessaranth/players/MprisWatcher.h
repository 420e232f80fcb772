// The D-Bus side of following MPRIS players, on a Qt event loop of its own: watches the session
// bus for org.mpris.MediaPlayer2.* names, reads each player's properties and listens to their
// changes, picks the player to follow, polls its position, reads its track list, and publishes
// the followed player's state. Every call is asynchronous with a time-out, so a player that is
// slow or frozen holds nothing up.
#pragma once

#include "ContactReport.h"
#include "players/LatestState.h"
#include "players/MprisModel.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QDBusMessage;
class QDBusPendingCall;
class QTimer;

namespace tessaranth::host {

class MprisWatcher : public QObject {
    Q_OBJECT

public:
    // playerName: follow org.mpris.MediaPlayer2.<playerName> (and its instances) only; empty:
    // the one that plays. busAddress: empty for the session bus.
    MprisWatcher(QString playerName, QString busAddress, LatestState& latest, ContactReport::Sink sink);
    ~MprisWatcher() override;

public slots:
    void start();

private slots:
    void nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void playerSignal(const QDBusMessage& message);

private:
    struct Player {
        QString owner;
        uint64_t order = 0;
        MprisModel model;
        std::chrono::steady_clock::time_point positionTime = std::chrono::steady_clock::now();
        bool answering = true;
        bool positionAsked = false;
        std::unique_ptr<ContactReport> report;
    };
    using Reply = std::function<void(const QDBusMessage& reply)>;

    void connectBus();
    void tick();
    void subscribe();
    void addPlayer(const QString& name, const QString& owner);
    void removePlayer(const QString& name);
    bool wanted(const QString& name) const;
    void choose();
    void publish();
    void readProperties(const QString& name);
    void readTrackList(const QString& name);
    void askPosition(const QString& name);
    void takeProperties(Player& player, const MprisValue& properties);
    // Folds the time played since the last position into it before the rate or state changes.
    void settlePosition(Player& player);
    void say(const QString& line) const;
    void sayAbsent();
    void call(const QString& name, const QString& interface, const QString& method, const QVariantList& arguments,
              Reply onReply);
    std::map<QString, Player>::iterator playerOf(const QDBusMessage& message);

    QString playerName_;
    QString busAddress_;
    QString connectionName_;
    QDBusConnection bus_;
    LatestState& latest_;
    ContactReport::Sink sink_;
    ContactReport busReport_;
    bool absenceSaid_ = false;
    std::map<QString, Player> players_;
    QString followed_;
    uint64_t nextOrder_ = 0;
    uint64_t connections_ = 0;
    bool namesKnown_ = false;
    QTimer* timer_ = nullptr;
};

} // namespace tessaranth::host
