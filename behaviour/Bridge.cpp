#include "behaviour/Bridge.hpp"

#include <algorithm>
#include <bit>

#include "behaviour/BridgeMatch.hpp"
#include "behaviour/BridgeTransform.hpp"
#include "behaviour/ChannelSettings.hpp"
#include "behaviour/ModelChoices.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgePara;
using protocol::BridgeRule;

std::size_t RuleCount(const BridgePara& bridge) {
    return std::min<std::size_t>(bridge.ruleCount, protocol::MAX_BRIDGE_RULES);
}

int OtherChannel(int channel) {
    return channel == 0 ? 1 : 0;
}

}  // namespace

bool HasStartRule(const BridgePara& bridge, int fromChannel) {
    const auto end = bridge.rules.begin() + static_cast<std::ptrdiff_t>(RuleCount(bridge));
    return std::any_of(bridge.rules.begin(), end, [fromChannel](const BridgeRule& rule) {
        return rule.trigger == BridgeRule::TRIGGER_START && CoversDirection(rule, fromChannel);
    });
}

Bridge::Bridge(const BridgePara& bridge, const std::array<protocol::CanPara, 2>& channels)
    : rules_(bridge.rules.begin(),
             bridge.rules.begin() + static_cast<std::ptrdiff_t>(RuleCount(bridge))),
      transforms_(rules_.begin(), rules_.end()),
      index_(rules_),
      flags_(bridge.bridgeFlags),
      channels_(channels),
      on_{!HasStartRule(bridge, 0), !HasStartRule(bridge, 1)},
      counts_(rules_.size()) {}

void Bridge::Forward(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& out,
                     SwitchLog& switches) {
    if (!DIRECT_COPY_AFTER_RULES) {
        DirectCopy(frame, out);
    }
    ApplyRules(frame, out, switches);
    if (DIRECT_COPY_AFTER_RULES) {
        DirectCopy(frame, out);
    }
}

void Bridge::ApplyRules(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& out,
                        SwitchLog& switches) {
    const int from = frame.channel;
    for (RuleMask candidates = index_.Candidates(from, frame.id); candidates != 0;
         candidates &= static_cast<RuleMask>(candidates - 1)) {
        const auto i = static_cast<std::size_t>(std::countr_zero(candidates));
        const BridgeRule& rule = rules_[i];
        if (!SourceMatches(rule, frame)) {
            continue;
        }
        RuleCounts& counts = counts_[i];
        ++counts.matched;
        if (rule.trigger == BridgeRule::TRIGGER_START || rule.trigger == BridgeRule::TRIGGER_STOP) {
            on_[from] = rule.trigger == BridgeRule::TRIGGER_START;
            switches.Add({frame.timeUs, from, on_[from], i});
            continue;
        }
        if (!on_[from]) {
            continue;
        }
        // The forwarded frame is built where it will stay, and taken back
        // when it cannot go out.
        if (!transforms_[i].Apply(frame, OtherChannel(from), out.emplace_back())) {
            out.pop_back();
            counts.Drop(DropReason::IdentifierTooWide);
        } else if (const auto blocked = OutputBlocked(channels_[out.back().channel])) {
            out.pop_back();
            counts.Drop(*blocked);
        } else {
            ++counts.passed;
        }
    }
}

void Bridge::DirectCopy(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& out) {
    const std::uint8_t bit =
        frame.channel == 0 ? BridgePara::FLAG_CAN1_FORWARD_ALL : BridgePara::FLAG_CAN2_FORWARD_ALL;
    if ((flags_ & bit) == 0) {
        return;
    }
    RuleCounts& counts = direct_[frame.channel];
    ++counts.matched;
    protocol::TimedFrame copy = frame;
    copy.channel = OtherChannel(frame.channel);
    Send(copy, counts, out);
}

void Bridge::Send(const protocol::TimedFrame& frame, RuleCounts& counts,
                  std::vector<protocol::TimedFrame>& out) {
    if (const auto blocked = OutputBlocked(channels_[frame.channel])) {
        counts.Drop(*blocked);
        return;
    }
    ++counts.passed;
    out.push_back(frame);
}

}  // namespace quillon::behaviour
