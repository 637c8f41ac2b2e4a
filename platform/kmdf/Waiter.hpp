// The framework's timed waits. Synchronous calls with a time-out wait through a
// Waiter, so tests can run them on fake time instead of waiting for real. It
// keeps no time of its own for callers: the program's one clock is sys::Clock.
#pragma once

#include <chrono>
#include <memory>

#include "platform/kmdf/OneShotEvent.hpp"

namespace kmdf {

class Waiter {
  public:
    virtual ~Waiter() = default;
    /// Waits until `event` is signalled or `timeout` has passed. Returns true
    /// when the event was signalled.
    virtual bool WaitFor(const std::shared_ptr<OneShotEvent>& event,
                         std::chrono::nanoseconds timeout) = 0;
};

}  // namespace kmdf
