// Time as the framework sees it. Synchronous calls with a time-out wait on a
// Clock, so tests can run them on fake time instead of waiting for real.
#pragma once

#include <chrono>
#include <memory>

#include "platform/kmdf/OneShotEvent.hpp"

namespace kmdf {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::chrono::nanoseconds Now() = 0;
    /// Waits until `event` is signalled or `timeout` has passed on this clock.
    /// Returns true when the event was signalled.
    virtual bool WaitFor(const std::shared_ptr<OneShotEvent>& event,
                         std::chrono::nanoseconds timeout) = 0;
};

}  // namespace kmdf
