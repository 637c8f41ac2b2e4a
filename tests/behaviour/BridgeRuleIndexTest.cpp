#include "behaviour/BridgeRuleIndex.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "behaviour/BridgeMatch.hpp"
#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgeRule;

// Every rule that could match a frame is among the candidates, whatever slot
// its identifier shares, and none that does not cover the frame's direction.
TEST(BridgeRuleIndexTest, CandidatesHoldEveryRuleForTheIdentifierAndDirection) {
    std::vector<BridgeRule> rules;
    const auto add = [&rules](std::uint8_t direction, std::uint32_t id) {
        BridgeRule rule = testing::BridgeRuleOf(direction, testing::REGULAR);
        rule.srcId = id;
        rules.push_back(rule);
    };
    add(0, 0x100);               // CAN1 -> CAN2 only
    add(1, 0x101);               // CAN2 -> CAN1 only
    add(2, 0x102);               // both ways
    add(7, 0x103);               // any other value: both ways
    add(0, BridgeRule::ANY_ID);  // every identifier from CAN1
    add(2, 0x102);               // a second rule on the same identifier
    add(2, 0x1ABCDEF0);          // an extended identifier
    add(1, 0x000);               // identifier 0
    add(2, 0x7FF);
    add(1, BridgeRule::ANY_ID);  // every identifier from CAN2
    const BridgeRuleIndex index(rules);

    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = 0; id <= 0x7FF; ++id) {
        ids.push_back(id);
    }
    ids.insert(ids.end(), {0x1ABCDEF0, 0x1ABCDEF1, 0x1FFFFFFF, 0x00000100 | 0x10000000});
    for (int from = 0; from < 2; ++from) {
        for (const std::uint32_t id : ids) {
            const RuleMask candidates = index.Candidates(from, id);
            for (std::size_t i = 0; i < rules.size(); ++i) {
                const bool covers = CoversDirection(rules[i], from);
                const bool named = rules[i].srcId == BridgeRule::ANY_ID || rules[i].srcId == id;
                const bool candidate = (candidates >> i & 1u) != 0;
                if (covers && named) {
                    ASSERT_TRUE(candidate) << "rule " << i << " lost for id " << std::hex << id
                                           << " from CAN" << from + 1;
                }
                if (!covers) {
                    ASSERT_FALSE(candidate) << "rule " << i << " offered from CAN" << from + 1;
                }
            }
        }
    }
}

TEST(BridgeRuleIndexTest, RefusesMoreRulesThanItsMaskHolds) {
    const std::vector<BridgeRule> rules(17, testing::BridgeRuleOf(2, testing::REGULAR));
    EXPECT_THROW(BridgeRuleIndex{rules}, std::invalid_argument);
}

}  // namespace
}  // namespace quillon::behaviour
