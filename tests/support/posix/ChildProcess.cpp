#include "support/ChildProcess.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillon::test {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        output_ = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    outputFd_ = pipeFds[0];
    if (pid_ < 0) {
        output_ = std::string("fork: ") + std::strerror(errno);
        return;
    }
    pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
}

ChildProcess::~ChildProcess() {
    if (Started() && !status_) {
        Stop(std::chrono::seconds(5));
    }
    if (outputFd_ >= 0) {
        ::close(outputFd_);
    }
    if (pidFd_ >= 0) {
        ::close(pidFd_);
    }
}

bool ChildProcess::Pump(int waitMs) {
    pollfd fds[2] = {{outputFd_, POLLIN, 0}, {pidFd_, POLLIN, 0}};
    const nfds_t count = pidFd_ >= 0 ? 2 : 1;
    if (::poll(fds, count, waitMs) <= 0) {
        return false;
    }
    bool read = false;
    if ((fds[0].revents & (POLLIN | POLLHUP)) != 0) {
        char buffer[4096];
        const ssize_t got = ::read(outputFd_, buffer, sizeof(buffer));
        read = got > 0;
        if (read) {
            output_.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 && pidFd_ < 0) {
            Reap(true);  // output closed: without a process descriptor, wait for the end here
        }
    }
    if (count == 2 && (fds[1].revents & POLLIN) != 0 && !status_) {
        Reap(false);
    }
    return read;
}

void ChildProcess::Drain() {
    while (Pump(0)) {
    }
}

std::optional<std::string> ChildProcess::FindLine(std::string_view text) const {
    const auto at = output_.find(text);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const auto start = output_.rfind('\n', at);
    const auto end = output_.find('\n', at);
    if (end == std::string::npos) {
        return std::nullopt;  // the line is not complete yet
    }
    const std::size_t from = start == std::string::npos ? 0 : start + 1;
    return output_.substr(from, end - from);
}

std::optional<std::string> ChildProcess::WaitForLine(std::string_view text,
                                                     std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (auto line = FindLine(text)) {
            return line;
        }
        if (!Started() || status_ || Clock::now() >= deadline) {
            Drain();
            return FindLine(text);
        }
        Pump(RemainingMs(deadline));
    }
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Started() && !status_ && Clock::now() < deadline) {
        Pump(RemainingMs(deadline));
    }
    if (status_) {
        Drain();  // what is left in the pipe
    }
    return status_;
}

int ChildProcess::Stop(std::chrono::milliseconds timeout) {
    if (!Started()) {
        return -1;
    }
    if (!status_) {
        ::kill(pid_, SIGTERM);
        if (!WaitForExit(timeout)) {
            ::kill(pid_, SIGKILL);
            Reap(true);
        }
    }
    return *status_;
}

int ChildProcess::Kill() {
    if (!Started()) {
        return -1;
    }
    if (!status_) {
        ::kill(pid_, SIGKILL);
        Reap(true);
    }
    return *status_;
}

void ChildProcess::Reap(bool block) {
    int raw = 0;
    if (::waitpid(pid_, &raw, block ? 0 : WNOHANG) != pid_) {
        return;
    }
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

}  // namespace quillon::test
