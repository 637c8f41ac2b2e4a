// Timed waits on a time that moves only when told to. Waits with a time-out end when the
// event is signalled or when Advance carries the time past their deadline.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/kmdf/Waiter.hpp"

namespace kmdf {

class FakeWaiter final : public Waiter {
  public:
    /// The fake time: how far Advance has carried it.
    std::chrono::nanoseconds Now() const { return now_.load(); }
    bool WaitFor(const std::shared_ptr<OneShotEvent>& event,
                 std::chrono::nanoseconds timeout) override;

    /// Moves time forward and wakes the waiters whose deadline has passed.
    void Advance(std::chrono::nanoseconds step);
    /// Blocks (for real, bounded by `limit`) until `count` waits are pending.
    bool WaitForWaiters(std::size_t count,
                        std::chrono::milliseconds limit = std::chrono::seconds(10));
    /// Deadlines of the pending waits, in fake time.
    std::vector<std::chrono::nanoseconds> PendingDeadlines();

  private:
    struct Waiter {
        std::shared_ptr<OneShotEvent> event;
        std::chrono::nanoseconds deadline;
    };
    void Remove(const std::shared_ptr<OneShotEvent>& event);

    std::atomic<std::chrono::nanoseconds> now_{std::chrono::nanoseconds{0}};
    std::mutex mutex_;
    std::condition_variable waitersChanged_;
    std::vector<Waiter> waiters_;
};

}  // namespace kmdf
