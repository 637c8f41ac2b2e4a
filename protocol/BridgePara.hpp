#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/BridgeRule.hpp"
#include "protocol/Capacities.hpp"

namespace quillon::protocol {

// Forwarding rules of a CAN bridge (444 bytes, checksum first).
struct BridgePara {
    static constexpr std::size_t SIZE = 444;
    static constexpr std::size_t OFFSET_CHECKSUM = 0;
    static constexpr std::size_t OFFSET_RULE_COUNT = 1;
    static constexpr std::size_t OFFSET_BRIDGE_FLAGS = 2;
    static constexpr std::size_t OFFSET_RESERVED3 = 3;
    static constexpr std::size_t OFFSET_RULES = 4;

    // bridgeFlags bits.
    static constexpr std::uint8_t FLAG_START_CAN1_TO_CAN2 = 0x01;  // a start rule forwards 1->2
    static constexpr std::uint8_t FLAG_START_CAN2_TO_CAN1 = 0x02;  // a start rule forwards 2->1
    static constexpr std::uint8_t FLAG_CAN1_FORWARD_ALL = 0x04;
    static constexpr std::uint8_t FLAG_CAN2_FORWARD_ALL = 0x08;
    // The bits the bridge page derives from the start rules on every refresh.
    static constexpr std::uint8_t START_FLAGS = FLAG_START_CAN1_TO_CAN2 | FLAG_START_CAN2_TO_CAN1;

    std::uint8_t checksum = 0;
    std::uint8_t ruleCount = 0;  // rules in use, 0..MAX_BRIDGE_RULES; kept as stored
    std::uint8_t bridgeFlags = 0;
    std::uint8_t reserved3 = 0;
    std::array<BridgeRule, MAX_BRIDGE_RULES> rules{};

    static BridgePara FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const BridgePara&) const = default;
};

static_assert(BridgePara::OFFSET_RULES + MAX_BRIDGE_RULES * BridgeRule::SIZE == BridgePara::SIZE);

}  // namespace quillon::protocol
