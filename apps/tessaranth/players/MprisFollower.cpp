#include "players/MprisFollower.h"

#include "players/MprisWatcher.h"

#include <QCoreApplication>
#include <QThread>

#include <stdexcept>

namespace tessaranth::host {

MprisFollower::MprisFollower(const std::string& playerName, ContactReport::Sink sink, const std::string& busAddress)
    : thread_(std::make_unique<QThread>()) {
    if (!QCoreApplication::instance()) throw std::logic_error("MprisFollower needs a QCoreApplication");
    auto* watcher = new MprisWatcher(QString::fromStdString(playerName), QString::fromStdString(busAddress), latest_,
                                     std::move(sink));
    watcher->moveToThread(thread_.get());
    QObject::connect(thread_.get(), &QThread::started, watcher, &MprisWatcher::start);
    QObject::connect(thread_.get(), &QThread::finished, watcher, &QObject::deleteLater);
    thread_->setObjectName(QStringLiteral("mpris"));
    thread_->start();
}

MprisFollower::~MprisFollower() {
    thread_->quit();
    thread_->wait();
}

void MprisFollower::update(int64_t) { latest_.update(state_, LatestState::Clock::now()); }

} // namespace tessaranth::host
