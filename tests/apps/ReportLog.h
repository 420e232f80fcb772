// Catches what the host would tell the user on stderr (ContactReport's sink), from any thread.
#pragma once

#include "ContactReport.h"

#include <mutex>
#include <string>
#include <vector>

namespace tessaranth::test {

class ReportLog {
public:
    host::ContactReport::Sink sink() {
        return [this](const std::string& line) {
            const std::lock_guard lock(mutex_);
            lines_.push_back(line);
        };
    }
    std::vector<std::string> lines() {
        const std::lock_guard lock(mutex_);
        return lines_;
    }
    bool has(const std::string& part) {
        for (const std::string& line : lines())
            if (line.find(part) != std::string::npos) return true;
        return false;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

} // namespace tessaranth::test
