// SPDX-License-Identifier: GPL-2.0-or-later
#include "ContactReport.h"

#include <cstdio>

namespace tessaranth::host {

void reportToUser(const std::string& line) { std::fprintf(stderr, "tessaranth: %s\n", line.c_str()); }

ContactReport::ContactReport(std::string what, std::string retry, Sink sink)
    : what_(std::move(what)), retry_(std::move(retry)), sink_(std::move(sink)) {}

void ContactReport::failed(std::string_view reason) {
    if (failing_) return;
    failing_ = true;
    say((everReached_ ? "lost " : "cannot reach ") + what_ + " (" + std::string(reason) + "); " + retry_);
}

void ContactReport::reached() {
    if (failing_) say(everReached_ ? what_ + " is back" : "reached " + what_);
    failing_ = false;
    everReached_ = true;
}

void ContactReport::say(const std::string& line) const {
    if (sink_) sink_(line);
    else reportToUser(line);
}

} // namespace tessaranth::host
