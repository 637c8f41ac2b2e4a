// Injectable time sources: the local calendar clock and a monotonic counter.
#pragma once

#include <cstdint>

#include "platform/system/LocalTime.hpp"

namespace quillon::sys {

class Clock {
  public:
    virtual ~Clock() = default;
    /// The PC's local calendar time.
    virtual LocalTime Now() const = 0;
    /// Milliseconds since an arbitrary start; never goes backwards.
    virtual std::uint64_t MonotonicMs() const = 0;
};

/// The operating system's clock.
class SystemClock final : public Clock {
  public:
    LocalTime Now() const override;
    std::uint64_t MonotonicMs() const override;
};

}  // namespace quillon::sys
