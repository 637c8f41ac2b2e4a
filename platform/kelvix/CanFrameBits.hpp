// A CAN 2.0 frame as bits on the wire: its exact length from start of frame
// to the end of the intermission, stuff bits included as the frame's content
// produces them, and its rank in arbitration.
//
// Stuffing covers start of frame through the CRC sequence: after five equal
// bits the transmitter inserts one of the opposite value, which counts
// towards the next run. The CRC delimiter, acknowledge slot and delimiter,
// seven end-of-frame bits and three intermission bits (13 in all) are never
// stuffed.
#pragma once

#include <cstdint>
#include <span>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

struct FrameBits {
    std::uint32_t lengthBits = 0;  ///< start of frame to end of intermission
    std::uint32_t stuffBits = 0;
    std::uint16_t crc = 0;  ///< the 15-bit CRC sequence sent
};

/// CRC-15 (x^15+x^14+x^10+x^8+x^7+x^4+x^3+1, register starting at 0) of `bits`, one bit per byte.
std::uint16_t CanCrc15(std::span<const std::uint8_t> bits);

/// How `frame` (ID, ExternFlag, RemoteFlag, DataLen, Data; DataLen above 8
/// counts as 8 data bytes) travels on the wire.
FrameBits MeasureFrame(const CanFrameRecord& frame);

/// Lower wins arbitration: the identifier bits, RTR/SRR and IDE in the order
/// the wire carries them, dominant (0) first. A standard frame beats an
/// extended one with the same 11-bit base; a data frame beats a remote one.
std::uint64_t ArbitrationRank(const CanFrameRecord& frame);

}  // namespace kelvix
