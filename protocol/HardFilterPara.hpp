#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/Capacities.hpp"

namespace quillon::protocol {

// Acceptance filters of one channel's CAN controller (132 bytes, checksum first).
struct HardFilterPara {
    static constexpr std::size_t SIZE = 132;
    static constexpr std::size_t OFFSET_CHECKSUM = 0;
    static constexpr std::size_t OFFSET_ENABLE = 1;
    static constexpr std::size_t OFFSET_FILTER_COUNT = 2;
    static constexpr std::size_t OFFSET_FRAME_FORMAT = 3;
    static constexpr std::size_t OFFSET_RESERVED17 = 17;
    static constexpr std::size_t OFFSET_MATCH_VALUE = 20;
    static constexpr std::size_t OFFSET_MATCH_MASK = 76;

    std::uint8_t checksum = 0;
    std::uint8_t enable = 0;       // 1 = advanced filtering on
    std::uint8_t filterCount = 0;  // 0..MAX_HARD_FILTERS; a larger stored value is kept as is
    // Per filter: 0 = standard (11-bit identifier), non-zero = extended (29-bit).
    std::array<std::uint8_t, MAX_HARD_FILTERS> frameFormat{};
    std::array<std::uint8_t, 3> reserved17{};
    std::array<std::uint32_t, MAX_HARD_FILTERS> matchValue{};  // identifier bits to match
    std::array<std::uint32_t, MAX_HARD_FILTERS> matchMask{};   // set bit = must match

    static HardFilterPara FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const HardFilterPara&) const = default;
};

static_assert(HardFilterPara::OFFSET_FRAME_FORMAT + MAX_HARD_FILTERS ==
              HardFilterPara::OFFSET_RESERVED17);
static_assert(HardFilterPara::OFFSET_RESERVED17 + 3 == HardFilterPara::OFFSET_MATCH_VALUE);
static_assert(HardFilterPara::OFFSET_MATCH_VALUE + 4 * MAX_HARD_FILTERS ==
              HardFilterPara::OFFSET_MATCH_MASK);
static_assert(HardFilterPara::OFFSET_MATCH_MASK + 4 * MAX_HARD_FILTERS == HardFilterPara::SIZE);

}  // namespace quillon::protocol
