// SPDX-License-Identifier: GPL-2.0-or-later
#include "ChildProcess.h"

#include "Waiting.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaranth::test {

void ChildProcess::start(const std::vector<std::string>& argv, const std::string& logPath) {
    stop();
    std::vector<char*> arguments;
    for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // A test that is killed (a time-out of the runner) takes its programs with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // SIGKILL reaches a stopped one too
        if (getppid() != parent) _exit(127);
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const int input = open("/dev/null", O_RDONLY);
        dup2(input, STDIN_FILENO);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    pid_ = -1;
    return false;
}

void ChildProcess::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGCONT);  // a stopped process cannot end
    kill(pid_, SIGTERM);
    if (!waitFor(5000, [this] { return !running(); })) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

} // namespace tessaranth::test
