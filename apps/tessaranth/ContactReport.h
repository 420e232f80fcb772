// SPDX-License-Identifier: GPL-2.0-or-later
// Tells the user, on stderr, when the host cannot reach what it follows (a player, the session
// bus, the sound server): the first failure at once, with the address and the reason and that the
// host keeps trying; nothing more while the failures go on; then once that it is back.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tessaranth::host {

class ContactReport {
public:
    using Sink = std::function<void(const std::string& line)>;

    // what: the thing and its address ("MPD at localhost:6600"); retry: what the host does
    // meanwhile ("trying again every second"). sink: where the lines go (stderr when empty).
    ContactReport(std::string what, std::string retry, Sink sink = {});

    // A try to reach it failed, or the contact was lost.
    void failed(std::string_view reason);
    // It answers. Said only after a failure: the first contact of all goes without a word.
    void reached();
    bool failing() const { return failing_; }
    const std::string& what() const { return what_; }

private:
    void say(const std::string& line) const;

    std::string what_;
    std::string retry_;
    Sink sink_;
    bool failing_ = false;
    bool everReached_ = false;
};

// Where every report of the host goes unless a test catches them: "tessaranth: <line>" on stderr.
void reportToUser(const std::string& line);

} // namespace tessaranth::host
