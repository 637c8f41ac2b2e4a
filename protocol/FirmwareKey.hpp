#pragma once

#include <array>
#include <cstdint>

namespace quillon::protocol {

// Frame cipher key shared by the program and the device firmware (and so the simulator).
// Changing it breaks every configuration exchange with devices that use the old key.
inline constexpr std::array<std::uint8_t, 16> FIRMWARE_KEY{
    0x51, 0x75, 0x69, 0x6C, 0x6C, 0x6F, 0x6E, 0x2D, 0x43, 0x41, 0x4E, 0x2D, 0x4B, 0x65, 0x79, 0x31};

}  // namespace quillon::protocol
