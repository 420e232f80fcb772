// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/BusConnection.h"

#include <dbus/dbus.h>

#include <poll.h>

#include <algorithm>

namespace tessaranth::host {

namespace {

struct Error {
    Error() { dbus_error_init(&error); }
    ~Error() { dbus_error_free(&error); }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
    std::string text() const { return dbus_error_is_set(&error) && error.message ? error.message : "no address"; }
    DBusError error;
};

DBusConnection* connectTo(const std::string& address, Error& error) {
    if (address.empty()) return dbus_bus_get_private(DBUS_BUS_SESSION, &error.error);
    DBusConnection* connection = dbus_connection_open_private(address.c_str(), &error.error);
    if (connection && !dbus_bus_register(connection, &error.error)) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        return nullptr;
    }
    return connection;
}

DBusHandlerResult signalled(DBusConnection*, DBusMessage* message, void* handler) {
    if (dbus_message_get_type(message) == DBUS_MESSAGE_TYPE_SIGNAL) {
        const auto& onSignal = *static_cast<const BusConnection::Handler*>(handler);
        if (onSignal) onSignal(busMessageOf(message));
    }
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

// libdbus stops the program on arguments that are not what their type allows: a player may send
// track ids that are no object paths, so everything is checked before it goes in.
bool appendCall(DBusMessage* message, const BusCall& call) {
    DBusMessageIter arguments;
    dbus_message_iter_init_append(message, &arguments);
    for (const std::string& text : call.texts) {
        const char* value = text.c_str();
        if (!dbus_validate_utf8(value, nullptr) || text.size() != std::char_traits<char>::length(value) ||
            !dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &value))
            return false;
    }
    if (!call.objectPaths) return true;
    DBusMessageIter array;
    if (!dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, DBUS_TYPE_OBJECT_PATH_AS_STRING, &array))
        return false;
    bool appended = true;
    for (const std::string& path : *call.objectPaths) {
        const char* value = path.c_str();
        appended = appended && dbus_validate_path(value, nullptr) &&
                   dbus_message_iter_append_basic(&array, DBUS_TYPE_OBJECT_PATH, &value);
    }
    if (!appended) {
        dbus_message_iter_abandon_container(&arguments, &array);
        return false;
    }
    return dbus_message_iter_close_container(&arguments, &array);
}

short pollEvents(DBusWatch* watch) {
    const unsigned flags = dbus_watch_get_flags(watch);
    return static_cast<short>(((flags & DBUS_WATCH_READABLE) ? POLLIN : 0) | ((flags & DBUS_WATCH_WRITABLE) ? POLLOUT : 0));
}

unsigned watchFlags(short revents) {
    unsigned flags = 0;
    if (revents & POLLIN) flags |= DBUS_WATCH_READABLE;
    if (revents & POLLOUT) flags |= DBUS_WATCH_WRITABLE;
    if (revents & POLLERR) flags |= DBUS_WATCH_ERROR;
    if (revents & POLLHUP) flags |= DBUS_WATCH_HANGUP;
    return flags;
}

} // namespace

std::unique_ptr<BusConnection> BusConnection::open(const std::string& address, std::string& failure) {
    Error error;
    DBusConnection* connection = connectTo(address, error);
    if (!connection) {
        failure = error.text();
        return nullptr;
    }
    return std::unique_ptr<BusConnection>(new BusConnection(connection));
}

BusConnection::BusConnection(DBusConnection* connection) : connection_(connection) {
    // A lost bus is the owner's to handle, not a reason to end the program.
    dbus_connection_set_exit_on_disconnect(connection_, false);
    dbus_connection_set_watch_functions(connection_, addWatch, removeWatch, nullptr, this, nullptr);
    dbus_connection_set_timeout_functions(connection_, addTimeout, removeTimeout, toggleTimeout, this, nullptr);
    dbus_connection_add_filter(connection_, signalled, &onSignal_, nullptr);
}

BusConnection::~BusConnection() {
    for (auto& [pending, handler] : pending_) {
        dbus_pending_call_cancel(pending);
        dbus_pending_call_unref(pending);
    }
    dbus_connection_remove_filter(connection_, signalled, &onSignal_);
    dbus_connection_close(connection_);
    dbus_connection_set_watch_functions(connection_, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_set_timeout_functions(connection_, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_unref(connection_);
}

bool BusConnection::connected() const { return dbus_connection_get_is_connected(connection_); }

void BusConnection::listen(const std::string& rule) {
    // Without an error to fill, libdbus sends the request and does not wait for the answer.
    dbus_bus_add_match(connection_, rule.c_str(), nullptr);
}

bool BusConnection::call(const BusCall& call, int timeoutMillis, Handler onReply) {
    DBusMessage* message = dbus_message_new_method_call(call.destination.c_str(), call.path.c_str(),
                                                        call.interface.c_str(), call.method.c_str());
    if (!message) return false;
    DBusPendingCall* pending = nullptr;
    const bool sent = appendCall(message, call) &&
                      dbus_connection_send_with_reply(connection_, message, &pending, timeoutMillis) && pending;
    dbus_message_unref(message);
    if (!sent) return false;
    if (!dbus_pending_call_set_notify(pending, replied, this, nullptr)) {
        dbus_pending_call_cancel(pending);
        dbus_pending_call_unref(pending);
        return false;
    }
    pending_.emplace(pending, std::move(onReply));
    return true;
}

BusMessage BusConnection::callAndWait(const BusCall& call, int timeoutMillis) {
    std::optional<BusMessage> answer;
    if (!this->call(call, timeoutMillis, [&answer](const BusMessage& reply) { answer = reply; })) {
        BusMessage failure;
        failure.type = BusMessage::Type::error;
        failure.errorName = connected() ? "the call cannot be made" : "the connection is closed";
        return failure;
    }
    // The call's time-out ends the wait at the latest.
    while (!answer) wait(Clock::now() + std::chrono::milliseconds(timeoutMillis));
    return *answer;
}

void BusConnection::replied(DBusPendingCall* pending, void* self) {
    auto& bus = *static_cast<BusConnection*>(self);
    auto entry = bus.pending_.extract(pending);
    DBusMessage* reply = dbus_pending_call_steal_reply(pending);
    dbus_pending_call_unref(pending);
    if (!reply) return;
    const BusMessage answer = busMessageOf(reply);
    dbus_message_unref(reply);
    if (entry && entry.mapped()) entry.mapped()(answer);
}

void BusConnection::wait(Clock::time_point until, int wakeFd) {
    dispatch();
    const auto now = Clock::now();
    const auto due = nextDue(until);
    const auto millis = due <= now ? 0 : std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
    handleWatches(static_cast<int>(std::min<int64_t>(millis, 60000)), wakeFd);
    handleTimers();
    dispatch();
}

BusConnection::Clock::time_point BusConnection::nextDue(Clock::time_point until) const {
    for (const Timer& timer : timers_)
        if (dbus_timeout_get_enabled(timer.timeout)) until = std::min(until, timer.due);
    return until;
}

// A watch may be removed while another is handled: each is looked up again before its turn.
void BusConnection::handleWatches(int timeoutMillis, int wakeFd) {
    std::vector<pollfd> fds{{wakeFd, POLLIN, 0}};
    std::vector<DBusWatch*> polled;
    for (DBusWatch* watch : watches_) {
        if (!dbus_watch_get_enabled(watch)) continue;
        fds.push_back({dbus_watch_get_unix_fd(watch), pollEvents(watch), 0});
        polled.push_back(watch);
    }
    if (poll(fds.data(), fds.size(), timeoutMillis) <= 0) return;
    for (std::size_t i = 0; i < polled.size(); ++i) {
        const unsigned flags = watchFlags(fds[i + 1].revents);
        if (flags && std::find(watches_.begin(), watches_.end(), polled[i]) != watches_.end())
            dbus_watch_handle(polled[i], flags);
    }
}

// Handling a time-out may remove it or others; one still there after its turn counts again.
void BusConnection::handleTimers() {
    const auto now = Clock::now();
    std::vector<DBusTimeout*> due;
    for (const Timer& timer : timers_)
        if (dbus_timeout_get_enabled(timer.timeout) && timer.due <= now) due.push_back(timer.timeout);
    for (DBusTimeout* timeout : due) {
        const auto still = [timeout](const Timer& timer) { return timer.timeout == timeout; };
        if (std::find_if(timers_.begin(), timers_.end(), still) == timers_.end()) continue;
        dbus_timeout_handle(timeout);
        const auto timer = std::find_if(timers_.begin(), timers_.end(), still);
        if (timer != timers_.end()) timer->due = now + std::chrono::milliseconds(dbus_timeout_get_interval(timeout));
    }
}

void BusConnection::dispatch() {
    while (dbus_connection_dispatch(connection_) == DBUS_DISPATCH_DATA_REMAINS) {
    }
}

unsigned BusConnection::addWatch(DBusWatch* watch, void* self) {
    static_cast<BusConnection*>(self)->watches_.push_back(watch);
    return true;
}

void BusConnection::removeWatch(DBusWatch* watch, void* self) {
    std::erase(static_cast<BusConnection*>(self)->watches_, watch);
}

unsigned BusConnection::addTimeout(DBusTimeout* timeout, void* self) {
    static_cast<BusConnection*>(self)->timers_.push_back(
        {timeout, Clock::now() + std::chrono::milliseconds(dbus_timeout_get_interval(timeout))});
    return true;
}

void BusConnection::removeTimeout(DBusTimeout* timeout, void* self) {
    std::erase_if(static_cast<BusConnection*>(self)->timers_, [timeout](const Timer& timer) { return timer.timeout == timeout; });
}

// Enabled again, it counts from now.
void BusConnection::toggleTimeout(DBusTimeout* timeout, void* self) {
    for (Timer& timer : static_cast<BusConnection*>(self)->timers_)
        if (timer.timeout == timeout) timer.due = Clock::now() + std::chrono::milliseconds(dbus_timeout_get_interval(timeout));
}

} // namespace tessaranth::host
