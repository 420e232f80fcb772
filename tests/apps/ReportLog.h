// SPDX-License-Identifier: GPL-2.0-or-later
// Catches what the host would tell the user on stderr (ContactReport's sink), from any thread.
// The lines live as long as the last sink or copy of the log that holds them: a thread that the
// host left running at exit can still report after the log's owner is gone.
#pragma once

#include "ContactReport.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tessaranth::test {

class ReportLog {
public:
    host::ContactReport::Sink sink() const {
        return [lines = lines_](const std::string& line) { lines->add(line); };
    }
    std::vector<std::string> lines() const { return lines_->all(); }
    bool has(const std::string& part) const {
        for (const std::string& line : lines())
            if (line.find(part) != std::string::npos) return true;
        return false;
    }

private:
    class Lines {
    public:
        void add(const std::string& line) {
            const std::lock_guard lock(mutex_);
            lines_.push_back(line);
        }
        std::vector<std::string> all() {
            const std::lock_guard lock(mutex_);
            return lines_;
        }

    private:
        std::mutex mutex_;
        std::vector<std::string> lines_;
    };

    std::shared_ptr<Lines> lines_ = std::make_shared<Lines>();
};

} // namespace tessaranth::test
