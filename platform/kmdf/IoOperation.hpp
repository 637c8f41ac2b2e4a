// One user-mode I/O call in progress: done once its request completes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "platform/kmdf/NtStatus.hpp"

namespace kmdf {

struct IoResult {
    NTSTATUS status = STATUS_PENDING;
    /// Bytes moved, or for a failed control request the size it needs.
    std::size_t information = 0;
};

class IoOperation {
  public:
    /// Records the outcome; every call after the first is counted, not kept.
    void Finish(NTSTATUS status, std::size_t information);
    /// Blocks until finished.
    IoResult Wait();
    /// Blocks until finished or `deadline` (real time); true when finished.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);
    bool IsDone();
    /// How often Finish was called (1 once done, more is a fault).
    int Completions();

  private:
    std::mutex mutex_;
    std::condition_variable finished_;
    IoResult result_;
    int completions_ = 0;
};

}  // namespace kmdf
