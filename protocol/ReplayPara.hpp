#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/Capacities.hpp"
#include "protocol/ReplayRule.hpp"

namespace quillon::protocol {

// Replay list of a CAN replayer (292 bytes, checksum first).
struct ReplayPara {
    static constexpr std::size_t SIZE = 292;
    static constexpr std::size_t OFFSET_CHECKSUM = 0;
    static constexpr std::size_t OFFSET_SEND_MODE = 1;
    static constexpr std::size_t OFFSET_RULE_COUNT = 2;
    static constexpr std::size_t OFFSET_RESERVED3 = 3;
    static constexpr std::size_t OFFSET_REPEAT_ALL = 4;
    static constexpr std::size_t OFFSET_RESERVED6 = 6;
    static constexpr std::size_t OFFSET_AUX_VALUE = 8;
    static constexpr std::size_t OFFSET_RULES = 12;

    std::uint8_t checksum = 0;
    std::uint8_t sendMode = 0;   // 0 by recorded channel, 1 all on CAN1, 2 all on CAN2
    std::uint8_t ruleCount = 0;  // rules in use, 0..MAX_REPLAY_RULES; kept as stored
    std::uint8_t reserved3 = 0;
    std::uint16_t repeatAll = 0;  // repeat count of the whole list
    std::array<std::uint8_t, 2> reserved6{};
    std::uint32_t auxValue = 0;  // zeroed when a rule is added, otherwise carried
    std::array<ReplayRule, MAX_REPLAY_RULES> rules{};

    static ReplayPara FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const ReplayPara&) const = default;
};

static_assert(ReplayPara::OFFSET_REPEAT_ALL + 2 == ReplayPara::OFFSET_RESERVED6);
static_assert(ReplayPara::OFFSET_AUX_VALUE + 4 == ReplayPara::OFFSET_RULES);
static_assert(ReplayPara::OFFSET_RULES + MAX_REPLAY_RULES * ReplayRule::SIZE == ReplayPara::SIZE);

}  // namespace quillon::protocol
