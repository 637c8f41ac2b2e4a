#include "behaviour/BridgeRuleIndex.hpp"

#include <stdexcept>

#include "behaviour/BridgeMatch.hpp"

namespace quillon::behaviour {

BridgeRuleIndex::BridgeRuleIndex(std::span<const protocol::BridgeRule> rules) {
    if (rules.size() > sizeof(RuleMask) * 8) {
        throw std::invalid_argument("a bridge rule index holds at most 16 rules");
    }
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const protocol::BridgeRule& rule = rules[i];
        const auto bit = static_cast<RuleMask>(1u << i);
        for (int from = 0; from < 2; ++from) {
            if (!CoversDirection(rule, from)) {
                continue;
            }
            Direction& direction = directions_[static_cast<std::size_t>(from)];
            if (rule.srcId == protocol::BridgeRule::ANY_ID) {
                direction.anyId |= bit;
            } else {
                direction.byId[Slot(rule.srcId)] |= bit;
            }
        }
    }
}

}  // namespace quillon::behaviour
