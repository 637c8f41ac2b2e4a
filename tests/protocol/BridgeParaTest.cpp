#include "protocol/BridgePara.hpp"

#include <gtest/gtest.h>

#include "support/BytesAt.hpp"

namespace quillon::protocol {
namespace {

using test::BytesAt;

BridgeRule DistinctiveRule() {
    BridgeRule r;
    r.leadByte = 1;
    r.direction = 2;
    r.k = 3;
    r.m = 4;
    r.trigger = 2;
    r.srcFlags = 0xFA;
    r.reserved6 = {0x66, 0x67};
    r.srcId = BridgeRule::ANY_ID;
    r.srcDataMask = 0x81;
    r.srcLength = 9;
    r.srcData = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
    r.dstFlags = 0xF6;
    r.reserved23 = 0x23;
    r.dstId = 0x0CFE6CEE;
    r.yMax = 0xC8;
    r.dstDataMask = 0x0F;
    r.kMask = 0x30;
    r.mMask = 0xC0;
    r.dstLength = 8;
    r.dstData = {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27};
    r.reserved41 = {0x41, 0x42, 0x43};
    return r;
}

TEST(BridgeParaTest, LastRuleLandsAtItsOffsetsLittleEndian) {
    BridgePara p;
    p.checksum = 0x5C;
    p.ruleCount = 10;
    p.bridgeFlags = BridgePara::FLAG_START_CAN1_TO_CAN2 | BridgePara::FLAG_CAN1_FORWARD_ALL |
                    BridgePara::FLAG_CAN2_FORWARD_ALL;
    p.reserved3 = 0x33;
    p.rules[9] = DistinctiveRule();
    const auto b = p.ToBytes();
    const std::size_t rule = 4 + 9 * 44;
    EXPECT_TRUE(BytesAt(b, 0, {0x5C, 10, 0x0D, 0x33}));
    EXPECT_TRUE(
        BytesAt(b, rule, {1, 2, 3, 4, 2, 0xFA, 0x66, 0x67, 0x00, 0x00, 0x00, 0x80, 0x81, 9}));
    EXPECT_TRUE(BytesAt(b, rule + 14, {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17}));
    EXPECT_TRUE(
        BytesAt(b, rule + 22, {0xF6, 0x23, 0xEE, 0x6C, 0xFE, 0x0C, 0xC8, 0x0F, 0x30, 0xC0, 8}));
    EXPECT_TRUE(BytesAt(b, rule + 33, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27}));
    EXPECT_TRUE(BytesAt(b, rule + 41, {0x41, 0x42, 0x43}));
    EXPECT_EQ(BridgePara::FromBytes(b), p);
}

}  // namespace
}  // namespace quillon::protocol
