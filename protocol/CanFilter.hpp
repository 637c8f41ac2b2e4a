#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::protocol {

// One identifier-range recording filter of a CAN channel, 16 bytes inside CanPara.
struct CanFilter {
    static constexpr std::size_t SIZE = 16;
    static constexpr std::size_t OFFSET_USED = 0;
    static constexpr std::size_t OFFSET_FRAME_TYPE = 1;
    static constexpr std::size_t OFFSET_FRAME_FORMAT = 2;
    static constexpr std::size_t OFFSET_TRIGGER = 3;
    static constexpr std::size_t OFFSET_ID_START = 4;
    static constexpr std::size_t OFFSET_ID_END = 8;
    static constexpr std::size_t OFFSET_INTERVAL = 12;

    std::uint8_t used = 0;         // 1 for an entry that was added
    std::uint8_t frameType = 0;    // 0 data frame, 1 remote frame
    std::uint8_t frameFormat = 0;  // 0 standard, 1 extended
    std::uint8_t trigger = 0;      // 0 start recording, 1 stop recording, 2 ordinary
    std::uint32_t idStart = 0;     // lowest CAN identifier of the range
    std::uint32_t idEnd = 0;       // highest CAN identifier of the range
    std::int32_t interval = 0;     // recording interval, milliseconds

    static CanFilter FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const CanFilter&) const = default;
};

static_assert(CanFilter::OFFSET_INTERVAL + 4 == CanFilter::SIZE);

}  // namespace quillon::protocol
