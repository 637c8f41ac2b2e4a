#pragma once

#include <array>
#include <cstdint>

namespace quillon::protocol {

// What a parameter read learned about the connected device. Not stored in any file.
struct DeviceIdentity {
    // Serial number: 8 bytes from one reply frame and 4 from another; shown as 24 upper-case
    // hexadecimal digits.
    std::array<std::uint8_t, 12> serial{};
    bool identityChanged = false;       // serial or deviceType changed with the last replies
    std::uint8_t deviceType = 0;        // device type code; 0 after every connect
    std::uint32_t hardwareVersion = 0;  // 0 until read
    std::uint32_t firmwareVersion = 0;  // 0 until read; 10 or less limits the announced rules

    bool operator==(const DeviceIdentity&) const = default;
};

}  // namespace quillon::protocol
