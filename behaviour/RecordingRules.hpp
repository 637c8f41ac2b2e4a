// Recording on one channel: which accepted frames a recorder keeps, by the
// channel's `acceptAll` and its list of recording rules (CanFilter), and when
// its start and stop rules switch recording on and off.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "behaviour/ModelReport.hpp"
#include "protocol/CanFilter.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

/// True when `rule` can match a frame at all: `used`, a trigger 0..2, idStart <= idEnd.
bool RecordingRuleValid(const protocol::CanFilter& rule);

/// True when a valid `rule` matches the frame's type, format and identifier range.
bool RecordingRuleMatches(const protocol::CanFilter& rule, const protocol::TimedFrame& frame);

class RecordingRules {
  public:
    /// Reads the channel's first `filterCount` rules (at most MAX_RECORDING_RULES);
    /// recording starts on unless one of them is a valid start rule.
    explicit RecordingRules(const protocol::CanPara& channel);

    /// True when the frame (already accepted on this channel) is recorded.
    /// Counts it against each rule and adds a switch event for every start or stop.
    bool Record(const protocol::TimedFrame& frame, SwitchLog& switches);

    const std::vector<RuleCounts>& Counts() const { return counts_; }
    bool RecordingOn() const { return on_; }

  private:
    bool RegularAccepts(std::size_t index, std::int64_t timeUs);

    bool acceptAll_;
    std::vector<protocol::CanFilter> rules_;
    std::vector<std::optional<std::int64_t>> lastAcceptedUs_;
    std::vector<RuleCounts> counts_;
    bool on_ = true;
};

}  // namespace quillon::behaviour
