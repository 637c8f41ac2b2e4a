// Register pairs taken apart, against values worked by hand: a quantum is
// 2 × BRP / 36 MHz, a bit is 1 + TSEG1 + TSEG2 quanta, the bus is sampled
// after 1 + TSEG1 of them.
#include <gtest/gtest.h>

#include "bittiming/BusTiming.hpp"

namespace quillon::bittiming {
namespace {

struct PairRow {
    const char* name;
    protocol::BtrEntry registers;
    BusTiming timing;
    double bitRateBps;
    double samplePointPercent;
};

class DecodeBtrTest : public ::testing::TestWithParam<PairRow> {};

TEST_P(DecodeBtrTest, GivesTheHandWorkedRateAndSamplePoint) {
    const auto& row = GetParam();
    const auto timing = DecodeBtr(row.registers);
    EXPECT_EQ(timing, row.timing);
    EXPECT_NEAR(timing.BitRate(), row.bitRateBps, 0.01);
    EXPECT_NEAR(timing.SamplePoint() * 100, row.samplePointPercent, 0.005);
    EXPECT_EQ(EncodeBtr(timing), row.registers);
}

// The baud-rate list's own pairs, each worked out on paper:
//   0x00/0x3C: BRP 1, TSEG2 4, TSEG1 13 -> 18 tq of 1/18 us = 1000000 bit/s, 14/18 = 77.78 %
//   0x01/0x3C: BRP 2, same segments -> 18 MHz / (2 x 18) = 500000
//   0x03/0x3C: 18 MHz / (4 x 18) = 250000;  0x07/0x3C: 18 MHz / (8 x 18) = 125000
//   0x08/0x4D: BRP 9, TSEG2 5, TSEG1 14 -> 20 tq: 18 MHz / 180 = 100000, 15/20 = 75 %
//   0x10/0x4E: BRP 17, TSEG2 5, TSEG1 15 -> 21 tq: 18 MHz / 357 = 50420.17 (+0.84 %), 16/21 = 76.19
//   % 0x26/0x5F: BRP 39, TSEG2 6, TSEG1 16 -> 23 tq: 18 MHz / 897 = 20066.89 (+0.33 %), 17/23
//   = 73.91 %
// The other rows set the bits the page's pairs leave clear.
INSTANTIATE_TEST_SUITE_P(
    Pairs, DecodeBtrTest,
    ::testing::Values(
        PairRow{"Page1000k", {0x00, 0x3C}, {1, 13, 4, 1, false}, 1'000'000, 77.78},
        PairRow{"Page500k", {0x01, 0x3C}, {2, 13, 4, 1, false}, 500'000, 77.78},
        PairRow{"Page250k", {0x03, 0x3C}, {4, 13, 4, 1, false}, 250'000, 77.78},
        PairRow{"Page125k", {0x07, 0x3C}, {8, 13, 4, 1, false}, 125'000, 77.78},
        PairRow{"Page100k", {0x08, 0x4D}, {9, 14, 5, 1, false}, 100'000, 75.0},
        PairRow{"Page50k", {0x10, 0x4E}, {17, 15, 5, 1, false}, 50'420.17, 76.19},
        PairRow{"Page20k", {0x26, 0x5F}, {39, 16, 6, 1, false}, 20'066.89, 73.91},
        // SJW 4, BRP 2; three samples, TSEG2 2, TSEG1 13: 18 MHz / 32 = 562500, 14/16
        PairRow{"JumpWidthAndThreeSamples", {0xC1, 0x9C}, {2, 13, 2, 4, true}, 562'500, 87.5},
        // Every field at its top: BRP 64, 25 tq -> 18 MHz / 1600 = 11250, 17/25
        PairRow{"SlowestPair", {0xFF, 0xFF}, {64, 16, 8, 4, true}, 11'250, 68.0},
        // Every field at its bottom: 3 tq -> 18 MHz / 3 = 6 Mbit/s, 2/3
        PairRow{"FastestPair", {0x00, 0x00}, {1, 1, 1, 1, false}, 6'000'000, 66.67}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::bittiming
