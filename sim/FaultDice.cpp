#include "sim/FaultDice.hpp"

namespace quillon::sim {
namespace {

std::uint64_t FreshSeed() {
    std::random_device entropy;
    return (static_cast<std::uint64_t>(entropy()) << 32) | entropy();
}

}  // namespace

FaultDice::FaultDice(std::optional<std::uint64_t> seed) : engine_(seed ? *seed : FreshSeed()) {}

bool FaultDice::Loses(std::uint8_t percent) {
    if (percent == 0) {
        return false;  // no roll: a fault-free device draws nothing
    }
    return engine_() % 100 < percent;
}

}  // namespace quillon::sim
