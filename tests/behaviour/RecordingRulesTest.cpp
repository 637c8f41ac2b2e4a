#include "behaviour/RecordingRules.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using testing::At;
using testing::Data;
using testing::Extended;
using testing::RecordRule;
using testing::REGULAR;
using testing::Remote;
using testing::START;
using testing::STOP;

constexpr std::int64_t MS = 1000;

protocol::CanFilter Unused(protocol::CanFilter rule) {
    rule.used = 0;
    return rule;
}

protocol::CanFilter WithTrigger(protocol::CanFilter rule, std::uint8_t trigger) {
    rule.trigger = trigger;
    return rule;
}

protocol::CanFilter RemoteRule(protocol::CanFilter rule) {
    rule.frameType = 1;
    return rule;
}

protocol::CanFilter ExtendedRule(protocol::CanFilter rule) {
    rule.frameFormat = 1;
    return rule;
}

struct RecordRow {
    const char* name;
    std::vector<protocol::CanFilter> rules;
    std::vector<protocol::TimedFrame> frames;
    std::vector<bool> recorded;
    std::uint8_t acceptAll = 0;
    int filterCount = -1;  ///< -1: the number of rules
};

const RecordRow RECORD_ROWS[] = {
    {"NoRuleRecordsNothing", {}, {Data(0, 0x100, {1})}, {false}},
    {"AcceptAllRecordsEveryFrameWhateverTheRules",
     {RecordRule(START, 0x500, 0x500), RecordRule(STOP, 0x100, 0x100)},
     {Data(0, 0x100, {}), Data(0, 0x7FF, {}), Remote(0, 0x1, 2)},
     {true, true, true},
     1},
    {"RegularRecordsItsRangeInclusive",
     {RecordRule(REGULAR, 0x100, 0x1FF)},
     {Data(0, 0x0FF, {}), Data(0, 0x100, {}), Data(0, 0x1FF, {}), Data(0, 0x200, {})},
     {false, true, true, false}},
    {"DataRuleSkipsRemoteFrame",
     {RecordRule(REGULAR, 0, 0x7FF)},
     {Remote(0, 0x100, 0), Data(0, 0x100, {})},
     {false, true}},
    {"RemoteRuleSkipsDataFrame",
     {RemoteRule(RecordRule(REGULAR, 0, 0x7FF))},
     {Remote(0, 0x100, 0), Data(0, 0x100, {})},
     {true, false}},
    {"StandardRuleSkipsExtendedFrame",
     {RecordRule(REGULAR, 0, 0x1FFFFFFF)},
     {Extended(Data(0, 0x100, {})), Data(0, 0x100, {})},
     {false, true}},
    {"ExtendedRuleSkipsStandardFrame",
     {ExtendedRule(RecordRule(REGULAR, 0, 0x1FFFFFFF))},
     {Extended(Data(0, 0x100, {})), Data(0, 0x100, {})},
     {true, false}},
    {"UnusedEntryMatchesNothing",
     {Unused(RecordRule(REGULAR, 0, 0x7FF))},
     {Data(0, 1, {})},
     {false}},
    {"TriggerAboveTwoMatchesNothing",
     {WithTrigger(RecordRule(REGULAR, 0, 0x7FF), 3)},
     {Data(0, 1, {})},
     {false}},
    {"ReversedRangeMatchesNothing",
     {RecordRule(REGULAR, 0x200, 0x100)},
     {Data(0, 0x180, {})},
     {false}},
    {"InvalidStartRuleDoesNotHoldRecordingOff",
     {Unused(RecordRule(START, 0x500, 0x500)), RecordRule(REGULAR, 0, 0x7FF)},
     {Data(0, 0x100, {})},
     {true}},
    {"RulesBeyondFilterCountAreNotRead",
     {RecordRule(REGULAR, 0, 0xFF), RecordRule(REGULAR, 0x100, 0x1FF)},
     {Data(0, 0x50, {}), Data(0, 0x150, {})},
     {true, false},
     0,
     1},
    {"StartRuleHoldsRecordingOffUntilItMatches",
     {RecordRule(START, 0x500, 0x500), RecordRule(REGULAR, 0x100, 0x100)},
     {Data(0, 0x100, {}), Data(0, 0x500, {}), Data(0, 0x100, {})},
     {false, true, true}},
    {"StopRuleRecordsItsFrameThenStops",
     {RecordRule(STOP, 0x501, 0x501), RecordRule(REGULAR, 0x100, 0x100)},
     {Data(0, 0x100, {}), Data(0, 0x501, {}), Data(0, 0x100, {})},
     {true, true, false}},
    {"StartAgainAfterStop",
     {RecordRule(START, 0x500, 0x500), RecordRule(STOP, 0x501, 0x501),
      RecordRule(REGULAR, 0x100, 0x100)},
     {Data(0, 0x500, {}), Data(0, 0x100, {}), Data(0, 0x501, {}), Data(0, 0x100, {}),
      Data(0, 0x500, {}), Data(0, 0x100, {})},
     {true, true, true, false, true, true}},
    {"RegularAfterStopInListSeesRecordingOff",
     {RecordRule(STOP, 0x150, 0x150), RecordRule(REGULAR, 0x100, 0x1FF)},
     {Data(0, 0x100, {}), Data(0, 0x150, {}), Data(0, 0x100, {})},
     {true, true, false}},
    {"IntervalAcceptsOnePerPeriodFromTheRulesLastAcceptedFrame",
     {RecordRule(REGULAR, 0x100, 0x100, 100)},
     {At(Data(0, 0x100, {}), 0), At(Data(0, 0x100, {}), 50 * MS),
      At(Data(0, 0x100, {}), 100 * MS - 1), At(Data(0, 0x100, {}), 100 * MS),
      At(Data(0, 0x100, {}), 150 * MS), At(Data(0, 0x100, {}), 260 * MS)},
     {true, false, false, true, false, true}},
    {"ZeroIntervalAcceptsEveryFrame",
     {RecordRule(REGULAR, 0x100, 0x100, 0)},
     {At(Data(0, 0x100, {}), 0), At(Data(0, 0x100, {}), 0), At(Data(0, 0x100, {}), 1)},
     {true, true, true}},
    {"NegativeIntervalAcceptsEveryFrame",
     {RecordRule(REGULAR, 0x100, 0x100, -5)},
     {At(Data(0, 0x100, {}), 0), At(Data(0, 0x100, {}), 1)},
     {true, true}},
    {"EachRuleKeepsItsOwnInterval",
     {RecordRule(REGULAR, 0x100, 0x100, 100), RecordRule(REGULAR, 0x100, 0x1FF, 100)},
     {At(Data(0, 0x100, {}), 0), At(Data(0, 0x180, {}), 10 * MS), At(Data(0, 0x100, {}), 100 * MS),
      At(Data(0, 0x180, {}), 105 * MS)},
     {true, false, true, false}},
    {"StartAndStopIgnoreIntervals",
     {RecordRule(START, 0x500, 0x500, 1000)},
     {At(Data(0, 0x500, {}), 0), At(Data(0, 0x500, {}), 1)},
     {true, true}},
};

class RecordTest : public ::testing::TestWithParam<RecordRow> {};

TEST_P(RecordTest, FramesInOrder) {
    const RecordRow& row = GetParam();
    protocol::CanPara channel;
    channel.acceptAll = row.acceptAll;
    std::copy(row.rules.begin(), row.rules.end(), channel.filters.begin());
    channel.filterCount =
        static_cast<std::uint8_t>(row.filterCount < 0 ? row.rules.size() : row.filterCount);
    RecordingRules rules(channel);
    SwitchLog switches;
    std::vector<bool> recorded;
    for (const protocol::TimedFrame& frame : row.frames) {
        recorded.push_back(rules.Record(frame, switches));
    }
    EXPECT_EQ(recorded, row.recorded);
}

INSTANTIATE_TEST_SUITE_P(Rows, RecordTest, ::testing::ValuesIn(RECORD_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordingRulesCountsTest, AFrameTwoRulesTakeIsRecordedOnceAndCountedByEach) {
    protocol::CanPara channel;
    channel.filters[0] = RecordRule(REGULAR, 0x100, 0x1FF);
    channel.filters[1] = RecordRule(REGULAR, 0x150, 0x150);
    channel.filters[2] = RecordRule(STOP, 0x700, 0x700);
    channel.filterCount = 3;
    RecordingRules rules(channel);
    SwitchLog switches;
    EXPECT_TRUE(rules.Record(Data(1, 0x150, {}), switches));
    EXPECT_TRUE(rules.Record(Data(1, 0x100, {}), switches));
    EXPECT_TRUE(rules.Record(At(Data(1, 0x700, {}), 42), switches));
    EXPECT_FALSE(rules.Record(Data(1, 0x150, {}), switches));

    ASSERT_EQ(rules.Counts().size(), 3u);
    EXPECT_EQ(rules.Counts()[0].matched, 3u);
    EXPECT_EQ(rules.Counts()[0].passed, 2u);
    EXPECT_EQ(rules.Counts()[1].matched, 2u);
    EXPECT_EQ(rules.Counts()[1].passed, 1u);
    EXPECT_EQ(rules.Counts()[2].passed, 1u);
    EXPECT_EQ(switches.kept, (std::vector<SwitchEvent>{{42, 1, false, 2}}));
    EXPECT_FALSE(rules.RecordingOn());
}

// A start or stop records its frame anyway: list order shows in what the regular rules take.
TEST(RecordingRulesCountsTest, RegularRulesSeeRecordingAsTheRulesBeforeThemLeftIt) {
    protocol::CanPara channel;
    channel.filters[0] = RecordRule(REGULAR, 0x150, 0x150);
    channel.filters[1] = RecordRule(START, 0x150, 0x150);
    channel.filters[2] = RecordRule(REGULAR, 0x150, 0x150);
    channel.filters[3] = RecordRule(STOP, 0x160, 0x160);
    channel.filters[4] = RecordRule(REGULAR, 0x160, 0x160);
    channel.filterCount = 5;
    RecordingRules rules(channel);
    SwitchLog switches;
    rules.Record(Data(0, 0x150, {}), switches);
    rules.Record(Data(0, 0x160, {}), switches);
    EXPECT_EQ(rules.Counts()[0].passed, 0u);  // before the start: still off
    EXPECT_EQ(rules.Counts()[2].passed, 1u);  // after the start: on
    EXPECT_EQ(rules.Counts()[4].passed, 0u);  // after the stop: off
    EXPECT_EQ(rules.Counts()[4].matched, 1u);
    EXPECT_EQ(switches.kept, (std::vector<SwitchEvent>{{0, 0, true, 1}, {0, 0, false, 3}}));
}

TEST(SwitchLogTest, KeepsTheFirstHundredAndCountsTheRest) {
    SwitchLog log;
    for (int i = 0; i < 105; ++i) {
        log.Add({i, 0, i % 2 == 0, 0});
    }
    EXPECT_EQ(log.kept.size(), 100u);
    EXPECT_EQ(log.kept.back().timeUs, 99);
    EXPECT_EQ(log.notKept, 5u);
}

}  // namespace
}  // namespace quillon::behaviour
