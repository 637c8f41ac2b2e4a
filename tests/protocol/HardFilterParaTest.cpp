#include "protocol/HardFilterPara.hpp"

#include <gtest/gtest.h>

#include "support/BytesAt.hpp"

namespace quillon::protocol {
namespace {

using test::BytesAt;

TEST(HardFilterParaTest, FirstAndLastFilterLandAtTheirOffsets) {
    HardFilterPara p;
    p.checksum = 0x99;
    p.enable = 1;
    p.filterCount = 14;
    p.frameFormat[0] = 0;
    p.frameFormat[13] = 1;
    p.reserved17 = {0x17, 0x18, 0x19};
    p.matchValue[0] = 0x12345678;
    p.matchValue[13] = 0x1FFFFFFF;
    p.matchMask[0] = 0x000007FF;
    p.matchMask[13] = 0x80000001;
    const auto b = p.ToBytes();
    EXPECT_TRUE(BytesAt(b, 0, {0x99, 1, 14, 0}));
    EXPECT_TRUE(BytesAt(b, 16, {1, 0x17, 0x18, 0x19, 0x78, 0x56, 0x34, 0x12}));
    EXPECT_TRUE(BytesAt(b, 72, {0xFF, 0xFF, 0xFF, 0x1F, 0xFF, 0x07, 0x00, 0x00}));
    EXPECT_TRUE(BytesAt(b, 128, {0x01, 0x00, 0x00, 0x80}));
    EXPECT_EQ(HardFilterPara::FromBytes(b), p);
}

}  // namespace
}  // namespace quillon::protocol
