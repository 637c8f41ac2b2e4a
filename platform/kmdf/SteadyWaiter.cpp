#include "platform/kmdf/SteadyWaiter.hpp"

namespace kmdf {

bool SteadyWaiter::WaitFor(const std::shared_ptr<OneShotEvent>& event,
                           std::chrono::nanoseconds timeout) {
    std::unique_lock lock(event->mutex);
    return event->changed.wait_for(lock, timeout, [&] { return event->signalled; });
}

}  // namespace kmdf
