// A CAN frame with the time and channel it was seen on: what a log holds and
// what the device model takes in and gives out.
#pragma once

#include <array>
#include <cstdint>

namespace quillon::protocol {

struct TimedFrame {
    std::int64_t timeUs = 0;  ///< microseconds since the log's epoch (Unix time in candump logs)
    int channel = 0;          ///< 0 is CAN1, 1 is CAN2
    std::uint32_t id = 0;
    bool extended = false;
    bool remote = false;
    std::uint8_t length = 0;  ///< 0..8
    std::array<std::uint8_t, 8> data{};

    friend bool operator==(const TimedFrame&, const TimedFrame&) = default;
};

}  // namespace quillon::protocol
