// A CAN bridge: for each frame accepted on one channel, what its rules and its
// direct-copy switches forward onto the other. Forwarded frames are not fed back in.
#pragma once

#include <array>
#include <vector>

#include "behaviour/BridgeRuleIndex.hpp"
#include "behaviour/BridgeTransform.hpp"
#include "behaviour/ModelReport.hpp"
#include "protocol/BridgePara.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

/// True when a start rule exists for frames from `fromChannel`: forwarding by
/// rules then starts off in that direction (bridgeFlags bits 0 and 1, derived
/// from the rules as the bridge page derives them).
bool HasStartRule(const protocol::BridgePara& bridge, int fromChannel);

class Bridge {
  public:
    /// `channels` are CAN1's and CAN2's settings: a frame that would go out on a
    /// channel that is off or only listens is counted as dropped.
    Bridge(const protocol::BridgePara& bridge, const std::array<protocol::CanPara, 2>& channels);

    /// Appends to `out` what the bridge sends for `frame`, accepted on its channel.
    void Forward(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& out,
                 SwitchLog& switches);

    const std::vector<RuleCounts>& RuleCountsList() const { return counts_; }
    const std::array<RuleCounts, 2>& DirectCopies() const { return direct_; }
    /// Forwarding by rules for frames from channel 0 / 1.
    bool ForwardingOn(int fromChannel) const { return on_[fromChannel]; }

  private:
    void Send(const protocol::TimedFrame& frame, RuleCounts& counts,
              std::vector<protocol::TimedFrame>& out);
    void ApplyRules(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& out,
                    SwitchLog& switches);
    void DirectCopy(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& out);

    std::vector<protocol::BridgeRule> rules_;
    std::vector<RuleTransform> transforms_;  ///< one for each rule
    BridgeRuleIndex index_;
    std::uint8_t flags_;
    std::array<protocol::CanPara, 2> channels_;
    std::array<bool, 2> on_{};
    std::vector<RuleCounts> counts_;
    std::array<RuleCounts, 2> direct_{};
};

}  // namespace quillon::behaviour
