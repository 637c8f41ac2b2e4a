#include "platform/kmdf/SteadyClock.hpp"

namespace kmdf {

std::chrono::nanoseconds SteadyClock::Now() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

bool SteadyClock::WaitFor(const std::shared_ptr<OneShotEvent>& event,
                          std::chrono::nanoseconds timeout) {
    std::unique_lock lock(event->mutex);
    return event->changed.wait_for(lock, timeout, [&] { return event->signalled; });
}

}  // namespace kmdf
