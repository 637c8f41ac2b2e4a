// The timing register pair of the device's CAN controller taken apart: the
// controller divides its 36 MHz clock by two and by the prescaler into time
// quanta; a bit is one sync quantum plus the two time segments, and the bus is
// sampled at the end of the first segment.
#pragma once

#include <cstdint>

#include "protocol/BtrTable.hpp"

namespace quillon::bittiming {

inline constexpr double CONTROLLER_CLOCK_HZ = 36'000'000.0;
// The prescaler counts double clock periods.
inline constexpr double QUANTUM_CLOCK_HZ = CONTROLLER_CLOCK_HZ / 2;

// Register ranges: BRP 6 bits, SJW 2 bits, TSEG1 4 bits, TSEG2 3 bits (each stored minus one).
inline constexpr int MAX_PRESCALER = 64;
inline constexpr int MAX_JUMP_WIDTH = 4;
inline constexpr int MAX_TSEG1 = 16;
inline constexpr int MAX_TSEG2 = 8;

/// One bit timing as the controller sees it; all lengths in time quanta.
struct BusTiming {
    int prescaler = 1;  ///< BRP, 1..64
    int tseg1 = 1;      ///< 1..16
    int tseg2 = 1;      ///< 1..8
    int jumpWidth = 1;  ///< SJW, 1..4
    bool threeSamples = false;
    bool operator==(const BusTiming&) const = default;

    [[nodiscard]] int Quanta() const { return 1 + tseg1 + tseg2; }
    [[nodiscard]] double BitRate() const { return QUANTUM_CLOCK_HZ / (prescaler * Quanta()); }
    /// Where the bus is sampled, as a fraction of the bit (0.875 for 87.5 %).
    [[nodiscard]] double SamplePoint() const { return static_cast<double>(1 + tseg1) / Quanta(); }
};

/// Every byte pair is a timing: each field is stored minus one.
BusTiming DecodeBtr(protocol::BtrEntry registers);
/// The register pair of a timing whose fields lie in their ranges.
protocol::BtrEntry EncodeBtr(const BusTiming& timing);

}  // namespace quillon::bittiming
