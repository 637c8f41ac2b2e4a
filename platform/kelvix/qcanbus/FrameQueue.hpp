// Frames received on one channel, waiting for VCI_Receive. The Qt thread
// pushes, the receive thread takes; a bounded queue, so that a reader that
// stopped reading cannot eat the memory: frames beyond it are counted as lost.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

class FrameQueue {
  public:
    explicit FrameQueue(std::size_t capacity = 65536) : capacity_(capacity) {}

    /// Appends a frame; false (and counted as lost) when the queue is full or closed.
    bool Push(const CanFrameRecord& frame);
    /// Moves up to out.size() frames into `out`, waiting up to `wait` for the
    /// first. Returns how many were stored; 0 at once after Close.
    std::size_t Take(std::span<CanFrameRecord> out, std::chrono::milliseconds wait);
    /// Wakes waiting takers; later pushes are dropped.
    void Close();
    /// Empties the queue and accepts frames again.
    void Reopen();
    /// Frames dropped because the queue was full, since construction; reading does not clear it.
    std::uint64_t Lost() const;

  private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<CanFrameRecord> frames_;
    bool closed_ = false;
    std::uint64_t lost_ = 0;
};

}  // namespace kelvix
