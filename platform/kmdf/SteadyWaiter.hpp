// Timed waits on the real monotonic clock.
#pragma once

#include "platform/kmdf/Waiter.hpp"

namespace kmdf {

class SteadyWaiter final : public Waiter {
  public:
    bool WaitFor(const std::shared_ptr<OneShotEvent>& event,
                 std::chrono::nanoseconds timeout) override;
};

}  // namespace kmdf
