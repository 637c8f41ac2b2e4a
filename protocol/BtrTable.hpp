#pragma once

#include <array>
#include <cstdint>

namespace quillon::protocol {

// Bus timing register pair of the device's CAN controller (36 MHz clock).
struct BtrEntry {
    std::uint8_t btr0 = 0;
    std::uint8_t btr1 = 0;
    bool operator==(const BtrEntry&) const = default;
};

// Timing registers for baudIndex 0..6: 1000, 500, 250, 125, 100, 50 and 20 kbit/s.
inline constexpr std::array<BtrEntry, 7> BTR_TABLE{{
    {0x00, 0x3C},
    {0x01, 0x3C},
    {0x03, 0x3C},
    {0x07, 0x3C},
    {0x08, 0x4D},
    {0x10, 0x4E},
    {0x26, 0x5F},
}};

// baudIndex of a user-defined rate: btr0/btr1 are taken as typed instead of from BTR_TABLE.
inline constexpr std::uint8_t CUSTOM_BAUD_INDEX = 7;

}  // namespace quillon::protocol
