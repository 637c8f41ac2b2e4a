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
    /// The same count in nanoseconds, for bus timing; a clock that only keeps
    /// milliseconds reports whole milliseconds.
    virtual std::uint64_t MonotonicNs() const { return MonotonicMs() * 1'000'000; }
    /// Microseconds since 1970-01-01 00:00 UTC: time stamps written for other
    /// programs to read (frame traces).
    virtual std::uint64_t UnixTimeUs() const = 0;
};

/// The operating system's clock.
class SystemClock final : public Clock {
  public:
    LocalTime Now() const override;
    std::uint64_t MonotonicMs() const override;
    std::uint64_t MonotonicNs() const override;
    std::uint64_t UnixTimeUs() const override;
};

}  // namespace quillon::sys
