#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::protocol {

// One entry of the replay list, 28 bytes inside ReplayPara.
struct ReplayRule {
    static constexpr std::size_t SIZE = 28;
    static constexpr std::size_t OFFSET_CHANNEL_MASK = 0;
    static constexpr std::size_t OFFSET_RESERVED1 = 1;
    static constexpr std::size_t OFFSET_TIMES = 2;
    static constexpr std::size_t OFFSET_INTERVAL_SEC = 4;
    static constexpr std::size_t OFFSET_FILE_NAME = 8;
    static constexpr std::size_t OFFSET_RESERVED25 = 25;

    // Longest file name in bytes; the byte after it is the terminating zero.
    static constexpr std::size_t MAX_FILE_NAME_BYTES = 16;

    // bit 0: play frames recorded on channel 1; bit 1: channel 2; other bits are carried.
    std::uint8_t channelMask = 0;
    std::uint8_t reserved1 = 0;
    std::uint16_t times = 0;        // play count
    std::uint32_t intervalSec = 0;  // pause between plays, seconds
    // Record file name without its ".alog" extension, in the ANSI code page, zero-terminated.
    std::array<std::uint8_t, MAX_FILE_NAME_BYTES + 1> fileName{};
    std::array<std::uint8_t, 3> reserved25{};

    static ReplayRule FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const ReplayRule&) const = default;
};

static_assert(ReplayRule::OFFSET_FILE_NAME + ReplayRule::MAX_FILE_NAME_BYTES + 1 ==
              ReplayRule::OFFSET_RESERVED25);
static_assert(ReplayRule::OFFSET_RESERVED25 + 3 == ReplayRule::SIZE);

}  // namespace quillon::protocol
