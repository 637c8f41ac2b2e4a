#include "protocol/CanPara.hpp"

#include <gtest/gtest.h>

#include "support/BytesAt.hpp"

namespace quillon::protocol {
namespace {

using test::BytesAt;

TEST(CanParaTest, FieldsLandAtTheirOffsetsLittleEndian) {
    CanPara p;
    p.checksum = 0xC5;
    p.enable = 1;
    p.baudIndex = 7;
    p.btr0 = 0x12;
    p.btr1 = 0x34;
    p.workMode = 1;
    p.acceptAll = 1;
    p.filterCount = 20;
    p.filters[0] = {.used = 1,
                    .frameType = 1,
                    .frameFormat = 1,
                    .trigger = 2,
                    .idStart = 0x18FF1234,
                    .idEnd = 0x18FF5678,
                    .interval = -2};
    p.filters[19] = {.used = 1, .trigger = 1, .idStart = 0x7FF, .idEnd = 0x123, .interval = 1000};
    const auto b = p.ToBytes();
    EXPECT_TRUE(BytesAt(b, 0, {0xC5, 1, 7, 0x12, 0x34, 1, 1, 20}));
    EXPECT_TRUE(BytesAt(
        b, 8,
        {1, 1, 1, 2, 0x34, 0x12, 0xFF, 0x18, 0x78, 0x56, 0xFF, 0x18, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(
        BytesAt(b, 312, {1, 0, 0, 1, 0xFF, 0x07, 0, 0, 0x23, 0x01, 0, 0, 0xE8, 0x03, 0, 0}));
    EXPECT_EQ(CanPara::FromBytes(b), p);
}

TEST(CanParaTest, DefaultsRecordAtFullSpeedWithNoRules) {
    const auto b = CanPara::Defaults().ToBytes();
    EXPECT_TRUE(BytesAt(b, 0, {0x00, 1, 0, 0x40, 0x27, 0, 0, 0}));
    EXPECT_TRUE(std::all_of(b.begin() + 8, b.end(), [](std::uint8_t x) { return x == 0; }));
}

}  // namespace
}  // namespace quillon::protocol
