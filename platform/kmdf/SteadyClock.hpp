// The real monotonic clock.
#pragma once

#include "platform/kmdf/Clock.hpp"

namespace kmdf {

class SteadyClock final : public Clock {
  public:
    std::chrono::nanoseconds Now() override;
    bool WaitFor(const std::shared_ptr<OneShotEvent>& event,
                 std::chrono::nanoseconds timeout) override;
};

}  // namespace kmdf
