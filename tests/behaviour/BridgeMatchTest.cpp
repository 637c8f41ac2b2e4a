#include "behaviour/BridgeMatch.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgeRule;
using testing::BridgeRuleOf;
using testing::Data;
using testing::Extended;
using testing::Remote;

BridgeRule Source(std::uint8_t flags, std::uint32_t id = BridgeRule::ANY_ID,
                  std::uint8_t length = 9) {
    BridgeRule rule = BridgeRuleOf(0, 2);
    rule.srcFlags = flags;
    rule.srcId = id;
    rule.srcLength = length;
    return rule;
}

BridgeRule SourceData(std::uint8_t mask, std::array<std::uint8_t, 8> data) {
    BridgeRule rule = Source(0xF0);
    rule.srcDataMask = mask;
    rule.srcData = data;
    return rule;
}

struct MatchRow {
    const char* name;
    BridgeRule rule;
    protocol::TimedFrame frame;
    bool matches;
};

const MatchRow MATCH_ROWS[] = {
    {"AnyTakesData", Source(0xF0), Data(0, 0x123, {1, 2}), true},
    {"AnyTakesRemote", Source(0xF0), Remote(0, 0x123, 2), true},
    {"TypeBitsThreeAreAny", Source(0xF3), Remote(0, 0x123, 0), true},
    {"RemoteBitSkipsData", Source(0xF1), Data(0, 0x123, {}), false},
    {"RemoteBitTakesRemote", Source(0xF1), Remote(0, 0x123, 0), true},
    {"DataBitSkipsRemote", Source(0xF2), Remote(0, 0x123, 0), false},
    {"DataBitTakesData", Source(0xF2), Data(0, 0x123, {}), true},
    {"ExtendedBitSkipsStandard", Source(0xF4), Data(0, 0x123, {}), false},
    {"ExtendedBitTakesExtended", Source(0xF4), Extended(Data(0, 0x123, {})), true},
    {"StandardBitSkipsExtended", Source(0xF8), Extended(Data(0, 0x123, {})), false},
    {"StandardBitTakesStandard", Source(0xF8), Data(0, 0x123, {}), true},
    {"FormatBitsTwelveAreAny", Source(0xFC), Extended(Data(0, 0x123, {})), true},
    {"IdMatchesByValueInAnyFormat", Source(0xF0, 0x123), Extended(Data(0, 0x123, {})), true},
    {"IdMismatch", Source(0xF0, 0x123), Data(0, 0x124, {}), false},
    {"ExtendedIdWithStandardBitSkips", Source(0xF8, 0x123), Extended(Data(0, 0x123, {})), false},
    {"LengthMatches", Source(0xF0, BridgeRule::ANY_ID, 2), Data(0, 1, {0, 0}), true},
    {"LengthMismatch", Source(0xF0, BridgeRule::ANY_ID, 2), Data(0, 1, {0}), false},
    {"RemoteLengthCounts", Source(0xF0, BridgeRule::ANY_ID, 4), Remote(0, 1, 4), true},
    {"LengthTenMatchesNoFrame", Source(0xF0, BridgeRule::ANY_ID, 10), Data(0, 1, {}), false},
    {"MaskedBytesEqual", SourceData(0x05, {0xAA, 0, 0xCC}), Data(0, 1, {0xAA, 0x99, 0xCC}), true},
    {"MaskedByteDiffers", SourceData(0x04, {0, 0, 0xCC}), Data(0, 1, {0xAA, 0x99, 0xCD}), false},
    {"UnmaskedBytesIgnored", SourceData(0x00, {1, 2, 3}), Data(0, 1, {9, 9, 9}), true},
    {"ShortFrameMissesMaskedPosition", SourceData(0x80, {0, 0, 0, 0, 0, 0, 0, 0}),
     Data(0, 1, {0, 0, 0, 0, 0, 0, 0}), false},
    {"RemoteFrameMissesAnyMaskedByte", SourceData(0x01, {0}), Remote(0, 1, 8), false},
};

class SourceMatchesTest : public ::testing::TestWithParam<MatchRow> {};

TEST_P(SourceMatchesTest, RuleAgainstFrame) {
    EXPECT_EQ(SourceMatches(GetParam().rule, GetParam().frame), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Rows, SourceMatchesTest, ::testing::ValuesIn(MATCH_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

struct DirectionRow {
    const char* name;
    std::uint8_t direction;
    bool fromCan1;
    bool fromCan2;
};

const DirectionRow DIRECTION_ROWS[] = {
    {"Can1ToCan2", 0, true, false},
    {"Can2ToCan1", 1, false, true},
    {"BothWays", 2, true, true},
    {"AnyOtherValueIsBothWays", 0xFF, true, true},
};

class CoversDirectionTest : public ::testing::TestWithParam<DirectionRow> {};

TEST_P(CoversDirectionTest, FromEachChannel) {
    const BridgeRule rule = BridgeRuleOf(GetParam().direction, 2);
    EXPECT_EQ(CoversDirection(rule, 0), GetParam().fromCan1);
    EXPECT_EQ(CoversDirection(rule, 1), GetParam().fromCan2);
}

INSTANTIATE_TEST_SUITE_P(Rows, CoversDirectionTest, ::testing::ValuesIn(DIRECTION_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::behaviour
