// Frame lengths on the wire, worked out by hand from the bit layout: start of
// frame, arbitration and control fields, data, CRC sequence (stuffed), then 13
// unstuffed bits (CRC delimiter, acknowledge slot and delimiter, end of frame,
// intermission).
#include "platform/kelvix/CanFrameBits.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kelvix {
namespace {

CanFrameRecord Frame(std::uint32_t id, bool extended, bool remote, std::uint8_t dlc,
                     std::uint8_t fill) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.RemoteFlag = remote ? 1 : 0;
    frame.DataLen = dlc;
    std::fill(std::begin(frame.Data), std::end(frame.Data), fill);
    return frame;
}

struct LengthCase {
    const char* name;
    CanFrameRecord frame;
    std::uint32_t lengthBits;
    std::uint32_t stuffBits;
    std::uint16_t crc;
};

// Standard ID 0, no data: 19 dominant bits and a CRC of 0 make a run of 34
// zeros, stuffed after every fifth (6 stuff bits): 34 + 6 + 13 = 53.
//
// Standard ID 0, eight zero bytes: 15 zeros (3 stuff bits), DLC 1000, then 3 +
// 64 zeros and the CRC 0x145B = 001010001011011, whose two leading zeros end a
// run of 69 (13 stuff bits): 98 + 16 + 13 = 127.
//
// Standard ID 0x555, eight bytes 0x55: alternating bits except RTR IDE r0
// (000), DLC 1000 and the data's leading 0, runs of at most four; the CRC
// 0x1B04 = 001101100000100 has one run of five zeros: 98 + 1 + 13 = 112.
//
// Extended ID 1, remote, DLC 0 (the erase command): 12 zeros (2), SRR IDE 11,
// 17 zeros (3), 1 RTR=1, r1 r0 DLC six zeros (1), CRC 0x17C6 =
// 001011111000110 with a run of five ones (1): 54 + 7 + 13 = 74.
const LengthCase LENGTHS[] = {
    {"standard_empty_all_zero", Frame(0, false, false, 0, 0x00), 53, 6, 0x0000},
    {"standard_all_zero_data", Frame(0, false, false, 8, 0x00), 127, 16, 0x145B},
    {"standard_alternating_data", Frame(0x555, false, false, 8, 0x55), 112, 1, 0x1B04},
    {"extended_remote", Frame(1, true, true, 0, 0x00), 74, 7, 0x17C6},
    // Worked by the same rules: 118 bits before stuffing, ones in runs.
    {"extended_all_ones_data", Frame(0x1FFFFFFF, true, false, 8, 0xFF), 149, 18, 0x1B69},
};

TEST(CanFrameBitsTest, LengthsWorkedOutByHand) {
    for (const auto& row : LENGTHS) {
        SCOPED_TRACE(row.name);
        const FrameBits bits = MeasureFrame(row.frame);
        EXPECT_EQ(bits.crc, row.crc);
        EXPECT_EQ(bits.stuffBits, row.stuffBits);
        EXPECT_EQ(bits.lengthBits, row.lengthBits);
    }
}

TEST(CanFrameBitsTest, ARemoteFrameCarriesNoDataWhateverItsLength) {
    const auto withLength = MeasureFrame(Frame(1, true, true, 8, 0xAA));
    const auto asData = MeasureFrame(Frame(1, true, false, 8, 0xAA));
    EXPECT_LT(withLength.lengthBits, asData.lengthBits - 60);
}

TEST(CanFrameBitsTest, ArbitrationFollowsTheIdentifierBitsOnTheWire) {
    const CanFrameRecord inOrder[] = {
        Frame(0x100, false, false, 8, 0),       // lowest 11-bit identifier
        Frame(0x100, false, true, 0, 0),        // same, remote: RTR recessive
        Frame(0x100 << 18, true, false, 8, 0),  // same base, extended: SRR recessive
        Frame((0x100 << 18) | 5, true, false, 8, 0),
        Frame((0x100 << 18) | 5, true, true, 0, 0),
        Frame(0x101, false, false, 8, 0),
    };
    for (std::size_t i = 1; i < std::size(inOrder); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LT(ArbitrationRank(inOrder[i - 1]), ArbitrationRank(inOrder[i]));
    }
}

}  // namespace
}  // namespace kelvix
