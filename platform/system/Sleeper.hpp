// Injectable pause, so that every wait in the program can run on fake time in tests.
#pragma once

#include <cstdint>

namespace quillon::sys {

class Sleeper {
  public:
    virtual ~Sleeper() = default;
    /// Suspends the calling thread for about `durationMs` milliseconds.
    virtual void SleepMs(std::uint32_t durationMs) = 0;
    /// Suspends for about `durationNs` nanoseconds; a sleeper that only knows
    /// milliseconds rounds up to the next whole one.
    virtual void SleepNs(std::uint64_t durationNs) {
        if (durationNs > 0) {
            SleepMs(static_cast<std::uint32_t>((durationNs + 999'999) / 1'000'000));
        }
    }
};

class SystemSleeper final : public Sleeper {
  public:
    void SleepMs(std::uint32_t durationMs) override;
    void SleepNs(std::uint64_t durationNs) override;
};

}  // namespace quillon::sys
