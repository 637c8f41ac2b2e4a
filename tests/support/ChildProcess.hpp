// A program run by a test in a process of its own: its output (stdout and
// stderr together) is read through a pipe, every wait is bounded and wakes on
// the event itself, and the process never outlives the test: the destructor
// ends it (SIGTERM, then SIGKILL), and it is killed if the test process dies.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::test {

class ChildProcess {
  public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// False when the program could not be started; Output() says why.
    bool Started() const { return pid_ > 0; }
    /// Waits up to `timeout` for an output line holding `text`; returns the
    /// whole line, or nothing when the time ran out or the process ended first.
    std::optional<std::string> WaitForLine(std::string_view text,
                                           std::chrono::milliseconds timeout);
    /// Waits up to `timeout` for the process to end; returns its exit status
    /// (128 + signal when killed by one), or nothing when it still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    /// Asks the process to end (SIGTERM) and waits up to `timeout` for it,
    /// then kills it. Returns the exit status.
    int Stop(std::chrono::milliseconds timeout);
    /// Ends the process at once (SIGKILL), as a power cut would, and reaps
    /// it. Returns the exit status (128 + 9 unless it had ended already).
    int Kill();
    /// Everything it printed so far.
    const std::string& Output() const { return output_; }

  private:
    /// Reads what is there, waiting up to `waitMs` for output or the end;
    /// true when it read something.
    bool Pump(int waitMs);
    /// Reads until the pipe has nothing more.
    void Drain();
    std::optional<std::string> FindLine(std::string_view text) const;
    void Reap(bool block);

    pid_t pid_ = -1;
    int outputFd_ = -1;
    int pidFd_ = -1;
    std::string output_;
    std::optional<int> status_;
};

}  // namespace quillon::test
