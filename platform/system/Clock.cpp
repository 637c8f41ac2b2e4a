#include "platform/system/Clock.hpp"

#include <chrono>

namespace quillon::sys {

// Both counts come from one steady clock, so they agree with each other.
std::uint64_t SystemClock::MonotonicMs() const {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

// The standard's system clock counts from the Unix epoch on every platform.
std::uint64_t SystemClock::UnixTimeUs() const {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count());
}

std::uint64_t SystemClock::MonotonicNs() const {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

}  // namespace quillon::sys
