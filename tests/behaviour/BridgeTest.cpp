#include "behaviour/Bridge.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgePara;
using protocol::BridgeRule;
using protocol::TimedFrame;
using testing::BridgeRuleOf;
using testing::Data;
using testing::REGULAR;
using testing::START;
using testing::STOP;

constexpr std::uint8_t CAN1_TO_CAN2 = 0;
constexpr std::uint8_t CAN2_TO_CAN1 = 1;
constexpr std::uint8_t BOTH = 2;

BridgeRule OnId(BridgeRule rule, std::uint32_t id) {
    rule.srcId = id;
    return rule;
}

BridgeRule SendAs(BridgeRule rule, std::uint32_t id) {
    rule.dstId = id;
    return rule;
}

std::array<protocol::CanPara, 2> BothOn() {
    std::array<protocol::CanPara, 2> channels{};
    channels[0].enable = 1;
    channels[1].enable = 1;
    return channels;
}

TimedFrame To(int channel, std::uint32_t id) {
    return Data(channel, id, {});
}

struct BridgeRow {
    const char* name;
    std::vector<BridgeRule> rules;
    std::uint8_t flags;
    std::vector<TimedFrame> in;
    std::vector<TimedFrame> out;
};

const BridgeRow BRIDGE_ROWS[] = {
    {"NoRuleForwardsNothing", {}, 0, {To(0, 1), To(1, 1)}, {}},
    {"OrdinaryRuleForwardsOntoTheOtherChannel",
     {BridgeRuleOf(CAN1_TO_CAN2, REGULAR)},
     0,
     {To(0, 0x10), To(1, 0x20)},
     {To(1, 0x10)}},
    {"ReverseRule",
     {BridgeRuleOf(CAN2_TO_CAN1, REGULAR)},
     0,
     {To(0, 0x10), To(1, 0x20)},
     {To(0, 0x20)}},
    {"BothWays",
     {BridgeRuleOf(BOTH, REGULAR)},
     0,
     {To(0, 0x10), To(1, 0x20)},
     {To(1, 0x10), To(0, 0x20)}},
    {"EveryMatchingOrdinaryRuleForwardsItsOwnFrameInListOrder",
     {SendAs(BridgeRuleOf(BOTH, REGULAR), 0x301), BridgeRuleOf(BOTH, 7),
      SendAs(BridgeRuleOf(BOTH, REGULAR), 0x302)},
     0,
     {To(0, 0x10)},
     {To(1, 0x301), To(1, 0x10), To(1, 0x302)}},
    {"StartRuleHoldsForwardingOffAndForwardsNothingItself",
     {OnId(BridgeRuleOf(CAN1_TO_CAN2, START), 0x500), BridgeRuleOf(CAN1_TO_CAN2, REGULAR)},
     0,
     {To(0, 0x10), To(0, 0x500), To(0, 0x11)},
     {To(1, 0x500), To(1, 0x11)}},
    {"StopRuleSwitchesOffBeforeTheRulesAfterIt",
     {OnId(BridgeRuleOf(CAN1_TO_CAN2, STOP), 0x501), BridgeRuleOf(CAN1_TO_CAN2, REGULAR)},
     0,
     {To(0, 0x10), To(0, 0x501), To(0, 0x11)},
     {To(1, 0x10)}},
    {"RulesBeforeStartSeeItOff",
     {BridgeRuleOf(CAN1_TO_CAN2, REGULAR), OnId(BridgeRuleOf(CAN1_TO_CAN2, START), 0x500)},
     0,
     {To(0, 0x500), To(0, 0x500)},
     {To(1, 0x500)}},
    {"StartRuleForOneDirectionLeavesTheOtherOn",
     {OnId(BridgeRuleOf(CAN1_TO_CAN2, START), 0x500), BridgeRuleOf(BOTH, REGULAR)},
     0,
     {To(0, 0x10), To(1, 0x20)},
     {To(0, 0x20)}},
    {"StartRuleBothWaysHoldsBothOff",
     {OnId(BridgeRuleOf(BOTH, START), 0x500), BridgeRuleOf(BOTH, REGULAR)},
     0,
     {To(0, 0x10), To(1, 0x20), To(1, 0x500), To(1, 0x21), To(0, 0x11)},
     {To(0, 0x500), To(0, 0x21)}},
    {"StoredStartFlagsAreNotRead",
     {BridgeRuleOf(CAN1_TO_CAN2, REGULAR)},
     BridgePara::START_FLAGS,
     {To(0, 0x10)},
     {To(1, 0x10)}},
    {"DirectCopyOfCan1",
     {},
     BridgePara::FLAG_CAN1_FORWARD_ALL,
     {To(0, 0x10), To(1, 0x20)},
     {To(1, 0x10)}},
    {"DirectCopyOfCan2",
     {},
     BridgePara::FLAG_CAN2_FORWARD_ALL,
     {To(0, 0x10), To(1, 0x20)},
     {To(0, 0x20)}},
    {"DirectCopyIgnoresStop",
     {OnId(BridgeRuleOf(CAN1_TO_CAN2, STOP), 0x501)},
     BridgePara::FLAG_CAN1_FORWARD_ALL,
     {To(0, 0x501), To(0, 0x10)},
     {To(1, 0x501), To(1, 0x10)}},
    {"DirectCopyFollowsTheRulesOutputs",
     {SendAs(BridgeRuleOf(CAN1_TO_CAN2, REGULAR), 0x300)},
     BridgePara::FLAG_CAN1_FORWARD_ALL,
     {To(0, 0x10)},
     {To(1, 0x300), To(1, 0x10)}},
};

class BridgeForwardTest : public ::testing::TestWithParam<BridgeRow> {};

TEST_P(BridgeForwardTest, FramesInOrder) {
    const BridgeRow& row = GetParam();
    BridgePara para;
    std::copy(row.rules.begin(), row.rules.end(), para.rules.begin());
    para.ruleCount = static_cast<std::uint8_t>(row.rules.size());
    para.bridgeFlags = row.flags;
    Bridge bridge(para, BothOn());
    SwitchLog switches;
    std::vector<TimedFrame> out;
    for (const TimedFrame& frame : row.in) {
        bridge.Forward(frame, out, switches);
    }
    EXPECT_EQ(out, row.out);
}

INSTANTIATE_TEST_SUITE_P(Rows, BridgeForwardTest, ::testing::ValuesIn(BRIDGE_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BridgeTest, RulesAtAndAfterRuleCountAreNotRead) {
    BridgePara para;
    para.rules[0] = BridgeRuleOf(BOTH, REGULAR);
    para.ruleCount = 0;
    Bridge bridge(para, BothOn());
    SwitchLog switches;
    std::vector<TimedFrame> out;
    bridge.Forward(To(0, 1), out, switches);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(bridge.RuleCountsList().empty());
}

TEST(BridgeTest, FramesThatCannotGoOutAreCountedWithTheirReason) {
    BridgePara para;
    para.rules[0] = BridgeRuleOf(CAN1_TO_CAN2, REGULAR);
    para.rules[1] = BridgeRuleOf(CAN2_TO_CAN1, REGULAR);
    para.rules[2] = SendAs(BridgeRuleOf(CAN2_TO_CAN1, REGULAR), 0x800);
    para.ruleCount = 3;
    para.bridgeFlags = BridgePara::FLAG_CAN1_FORWARD_ALL;
    std::array<protocol::CanPara, 2> channels = BothOn();
    channels[0].workMode = 1;  // CAN1 only listens
    channels[1].enable = 0;    // CAN2 is off
    Bridge bridge(para, channels);
    SwitchLog switches;
    std::vector<TimedFrame> out;
    bridge.Forward(To(0, 0x10), out, switches);
    bridge.Forward(To(1, 0x20), out, switches);
    EXPECT_TRUE(out.empty());
    const auto drops = [](const RuleCounts& counts, DropReason reason) {
        return counts.dropped[static_cast<std::size_t>(reason)];
    };
    EXPECT_EQ(drops(bridge.RuleCountsList()[0], DropReason::ChannelOff), 1u);
    EXPECT_EQ(drops(bridge.RuleCountsList()[1], DropReason::ListenOnly), 1u);
    EXPECT_EQ(drops(bridge.RuleCountsList()[2], DropReason::IdentifierTooWide), 1u);
    EXPECT_EQ(drops(bridge.DirectCopies()[0], DropReason::ChannelOff), 1u);
    EXPECT_EQ(bridge.RuleCountsList()[2].matched, 1u);
    EXPECT_EQ(bridge.RuleCountsList()[2].passed, 0u);
}

TEST(BridgeTest, SwitchesAreLoggedWithTimeDirectionAndRule) {
    BridgePara para;
    para.rules[0] = OnId(BridgeRuleOf(CAN2_TO_CAN1, START), 0x500);
    para.rules[1] = OnId(BridgeRuleOf(CAN2_TO_CAN1, STOP), 0x501);
    para.ruleCount = 2;
    Bridge bridge(para, BothOn());
    EXPECT_TRUE(bridge.ForwardingOn(0));
    EXPECT_FALSE(bridge.ForwardingOn(1));
    SwitchLog switches;
    std::vector<TimedFrame> out;
    bridge.Forward(Data(1, 0x500, {}, 10), out, switches);
    bridge.Forward(Data(1, 0x501, {}, 20), out, switches);
    EXPECT_EQ(switches.kept, (std::vector<SwitchEvent>{{10, 1, true, 0}, {20, 1, false, 1}}));
    EXPECT_TRUE(out.empty());
}

TEST(HasStartRuleTest, DerivedFromTheRulesDirections) {
    BridgePara para;
    para.rules[0] = BridgeRuleOf(CAN2_TO_CAN1, START);
    para.rules[1] = BridgeRuleOf(CAN1_TO_CAN2, START);
    para.ruleCount = 1;
    EXPECT_FALSE(HasStartRule(para, 0));
    EXPECT_TRUE(HasStartRule(para, 1));
    para.ruleCount = 2;
    EXPECT_TRUE(HasStartRule(para, 0));
}

}  // namespace
}  // namespace quillon::behaviour
