// Which of a bridge's rules can match a frame, found without asking every rule:
// a bridge asks for each frame, and most rules name one source identifier.
// Rules are bits of a mask (bit i is rule i), so they come out in list order.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "protocol/BridgeRule.hpp"

namespace quillon::behaviour {

using RuleMask = std::uint16_t;

class BridgeRuleIndex {
  public:
    /// At most 16 rules; the bridge holds at most 10.
    explicit BridgeRuleIndex(std::span<const protocol::BridgeRule> rules);

    /// The rules that cover frames from `fromChannel` and whose `srcId` is `id`
    /// or any, with perhaps a few more that share the identifier's slot: the
    /// caller still checks each rule's source in full.
    RuleMask Candidates(int fromChannel, std::uint32_t id) const {
        const auto& direction = directions_[fromChannel == 0 ? 0 : 1];
        return direction.anyId | direction.byId[Slot(id)];
    }

  private:
    static constexpr unsigned SLOT_BITS = 6;

    static unsigned Slot(std::uint32_t id) {
        // Fibonacci hashing: neighbouring identifiers land in different slots.
        return static_cast<std::uint32_t>(id * 0x9E3779B1u) >> (32 - SLOT_BITS);
    }

    struct Direction {
        RuleMask anyId = 0;
        std::array<RuleMask, 1u << SLOT_BITS> byId{};
    };
    std::array<Direction, 2> directions_{};
};

}  // namespace quillon::behaviour
