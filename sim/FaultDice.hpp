// Decides which frames a faulty simulated device loses. One die per device;
// with a seed the same frames are lost every run.
//
// Threading: not thread-safe; the device rolls only on its own thread.
#pragma once

#include <cstdint>
#include <optional>
#include <random>

namespace quillon::sim {

class FaultDice {
  public:
    /// Without a seed the dice are seeded from the system's entropy.
    explicit FaultDice(std::optional<std::uint64_t> seed);
    /// True for `percent` % (0..100) of the calls.
    bool Loses(std::uint8_t percent);

  private:
    std::mt19937_64 engine_;
};

}  // namespace quillon::sim
