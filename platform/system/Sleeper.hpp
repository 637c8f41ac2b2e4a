// Injectable pause, so that every wait in the program can run on fake time in tests.
#pragma once

#include <cstdint>

namespace quillon::sys {

class Sleeper {
  public:
    virtual ~Sleeper() = default;
    /// Suspends the calling thread for about `durationMs` milliseconds.
    virtual void SleepMs(std::uint32_t durationMs) = 0;
};

class SystemSleeper final : public Sleeper {
  public:
    void SleepMs(std::uint32_t durationMs) override;
};

}  // namespace quillon::sys
