#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/CanFilter.hpp"
#include "protocol/Capacities.hpp"

namespace quillon::protocol {

// Settings of one CAN channel with its recording filters (328 bytes, checksum first).
struct CanPara {
    static constexpr std::size_t SIZE = 328;
    static constexpr std::size_t OFFSET_CHECKSUM = 0;
    static constexpr std::size_t OFFSET_ENABLE = 1;
    static constexpr std::size_t OFFSET_BAUD_INDEX = 2;
    static constexpr std::size_t OFFSET_BTR0 = 3;
    static constexpr std::size_t OFFSET_BTR1 = 4;
    static constexpr std::size_t OFFSET_WORK_MODE = 5;
    static constexpr std::size_t OFFSET_ACCEPT_ALL = 6;
    static constexpr std::size_t OFFSET_FILTER_COUNT = 7;
    static constexpr std::size_t OFFSET_FILTERS = 8;

    std::uint8_t checksum = 0;
    std::uint8_t enable = 0;       // 1 = the channel records / forwards
    std::uint8_t baudIndex = 0;    // 0..6 index into BTR_TABLE, 7 = user-defined rate
    std::uint8_t btr0 = 0;         // bus timing register 0 of the device's controller
    std::uint8_t btr1 = 0;         // bus timing register 1
    std::uint8_t workMode = 0;     // 0 normal, 1 listen only
    std::uint8_t acceptAll = 0;    // 1 = take every frame, 0 = only the filters below
    std::uint8_t filterCount = 0;  // entries in use, 0..MAX_CAN_FILTERS; kept as stored
    std::array<CanFilter, MAX_CAN_FILTERS> filters{};

    // The channel settings used when no valid copy exists: recording on, 1000 kbit/s.
    static CanPara Defaults();

    static CanPara FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const CanPara&) const = default;
};

static_assert(CanPara::OFFSET_FILTERS + MAX_CAN_FILTERS * CanFilter::SIZE == CanPara::SIZE);

}  // namespace quillon::protocol
