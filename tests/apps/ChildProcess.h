// SPDX-License-Identifier: GPL-2.0-or-later
// A program a test starts and stops itself: a child of the test, its output in a log file,
// stopped by its process id and waited for; it ends too when the test process dies.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tessaranth::test {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (found on PATH) with the rest as its arguments, stdout and stderr appended
    // to logPath, stdin from /dev/null.
    void start(const std::vector<std::string>& argv, const std::string& logPath);
    // SIGTERM, SIGKILL when it has not ended within 5 s; waits for it.
    void stop();
    // Whether it still runs (it is reaped when it has ended).
    bool running();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

} // namespace tessaranth::test
