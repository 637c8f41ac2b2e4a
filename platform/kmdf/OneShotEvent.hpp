// A flag that is set once and can be waited for; shared between a waiter and
// whoever completes the wait, so either side may go away first.
#pragma once

#include <condition_variable>
#include <mutex>

namespace kmdf {

class OneShotEvent {
  public:
    void Signal() {
        std::lock_guard lock(mutex);
        signalled = true;
        changed.notify_all();
    }
    /// Waits for real, without a limit: only for events that are sure to come.
    void Wait() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return signalled; });
    }
    bool IsSignalled() {
        std::lock_guard lock(mutex);
        return signalled;
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
};

}  // namespace kmdf
