#include "support/kmdf/FakeWaiter.hpp"

#include <algorithm>

namespace kmdf {

bool FakeWaiter::WaitFor(const std::shared_ptr<OneShotEvent>& event,
                         std::chrono::nanoseconds timeout) {
    const auto deadline = now_.load() + timeout;
    {
        std::lock_guard lock(mutex_);
        waiters_.push_back(Waiter{event, deadline});
        waitersChanged_.notify_all();
    }
    bool signalled;
    {
        std::unique_lock lock(event->mutex);
        event->changed.wait(lock, [&] { return event->signalled || now_.load() >= deadline; });
        signalled = event->signalled;
    }
    Remove(event);
    return signalled;
}

void FakeWaiter::Remove(const std::shared_ptr<OneShotEvent>& event) {
    std::lock_guard lock(mutex_);
    std::erase_if(waiters_, [&](const Waiter& w) { return w.event == event; });
    waitersChanged_.notify_all();
}

void FakeWaiter::Advance(std::chrono::nanoseconds step) {
    std::vector<Waiter> toWake;
    {
        std::lock_guard lock(mutex_);
        now_.store(now_.load() + step);
        toWake = waiters_;
    }
    // Taking each waiter's own lock before notifying closes the gap between
    // its deadline check and its wait.
    for (const Waiter& waiter : toWake) {
        std::lock_guard lock(waiter.event->mutex);
        waiter.event->changed.notify_all();
    }
}

bool FakeWaiter::WaitForWaiters(std::size_t count, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return waitersChanged_.wait_for(lock, limit, [&] { return waiters_.size() >= count; });
}

std::vector<std::chrono::nanoseconds> FakeWaiter::PendingDeadlines() {
    std::lock_guard lock(mutex_);
    std::vector<std::chrono::nanoseconds> deadlines;
    for (const Waiter& waiter : waiters_) {
        deadlines.push_back(waiter.deadline);
    }
    return deadlines;
}

}  // namespace kmdf
