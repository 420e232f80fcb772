// SPDX-License-Identifier: GPL-2.0-or-later
// A private connection to a message bus with libdbus, driven by the one thread that owns it:
// wait() sleeps in poll() until the bus has something, a call's time-out falls due, the caller's
// own time comes or its wake-up descriptor becomes readable, and then hands the replies and the
// signals to their handlers, on that thread. Every call is asynchronous with a time-out, so a
// peer that is slow or frozen holds nothing up.
#pragma once

#include "players/DBusValue.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct DBusConnection;
struct DBusPendingCall;
struct DBusTimeout;
struct DBusWatch;

namespace tessaranth::host {

class BusConnection {
public:
    using Clock = std::chrono::steady_clock;
    using Handler = std::function<void(const BusMessage& message)>;

    // Connects to the bus at `address` (empty: the session bus) and registers with it. Null, with
    // the reason in `failure`, when that fails.
    static std::unique_ptr<BusConnection> open(const std::string& address, std::string& failure);
    ~BusConnection();
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    bool connected() const;
    // Asks the bus for the signals that match `rule`; they go to the signal handler.
    void listen(const std::string& rule);
    void onSignal(Handler handler) { onSignal_ = std::move(handler); }
    // Sends the call; onReply gets its reply, or the error (the bus's own after timeoutMillis
    // without an answer, and when the connection is lost). False when it cannot be sent (the
    // connection is closed, or an argument is no valid D-Bus text or object path): then nothing
    // is answered.
    bool call(const BusCall& call, int timeoutMillis, Handler onReply);
    // call() and wait() until it is answered.
    BusMessage callAndWait(const BusCall& call, int timeoutMillis);
    // Waits until `until` or until something comes, whichever is first, and handles what came.
    // wakeFd (-1: none) ends the wait early when it becomes readable.
    void wait(Clock::time_point until, int wakeFd = -1);

private:
    struct Timer {
        DBusTimeout* timeout;
        Clock::time_point due;
    };

    explicit BusConnection(DBusConnection* connection);
    void handleWatches(int timeoutMillis, int wakeFd);
    void handleTimers();
    void dispatch();
    Clock::time_point nextDue(Clock::time_point until) const;

    static unsigned addWatch(DBusWatch* watch, void* self);
    static void removeWatch(DBusWatch* watch, void* self);
    static unsigned addTimeout(DBusTimeout* timeout, void* self);
    static void removeTimeout(DBusTimeout* timeout, void* self);
    static void toggleTimeout(DBusTimeout* timeout, void* self);
    static void replied(DBusPendingCall* pending, void* self);

    DBusConnection* connection_;
    std::vector<DBusWatch*> watches_;
    std::vector<Timer> timers_;
    std::map<DBusPendingCall*, Handler> pending_;
    Handler onSignal_;
};

} // namespace tessaranth::host
