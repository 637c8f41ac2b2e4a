// Calendar time as the PC's local clock reports it.
#pragma once

#include <cstdint>

namespace quillon::sys {

struct LocalTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;  ///< 1..12
    std::uint16_t day = 0;    ///< 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    bool operator==(const LocalTime&) const = default;
};

}  // namespace quillon::sys
