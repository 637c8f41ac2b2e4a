#include "behaviour/RecordingRules.hpp"

#include <algorithm>

#include "behaviour/ModelChoices.hpp"

namespace quillon::behaviour {
namespace {

constexpr std::uint8_t TRIGGER_START = 0;
constexpr std::uint8_t TRIGGER_STOP = 1;
constexpr std::uint8_t TRIGGER_REGULAR = 2;
constexpr std::int64_t US_PER_MS = 1000;

}  // namespace

bool RecordingRuleValid(const protocol::CanFilter& rule) {
    return rule.used != 0 && rule.trigger <= TRIGGER_REGULAR && rule.idStart <= rule.idEnd;
}

bool RecordingRuleMatches(const protocol::CanFilter& rule, const protocol::TimedFrame& frame) {
    return RecordingRuleValid(rule) && (rule.frameType != 0) == frame.remote &&
           (rule.frameFormat != 0) == frame.extended && frame.id >= rule.idStart &&
           frame.id <= rule.idEnd;
}

RecordingRules::RecordingRules(const protocol::CanPara& channel)
    : acceptAll_(channel.acceptAll != 0) {
    const std::size_t count = std::min<std::size_t>(channel.filterCount, MAX_RECORDING_RULES);
    rules_.assign(channel.filters.begin(), channel.filters.begin() + count);
    lastAcceptedUs_.resize(count);
    counts_.resize(count);
    on_ = std::none_of(rules_.begin(), rules_.end(), [](const protocol::CanFilter& rule) {
        return RecordingRuleValid(rule) && rule.trigger == TRIGGER_START;
    });
}

bool RecordingRules::Record(const protocol::TimedFrame& frame, SwitchLog& switches) {
    if (acceptAll_) {
        return true;
    }
    bool recorded = false;
    for (std::size_t i = 0; i < rules_.size(); ++i) {
        if (!RecordingRuleMatches(rules_[i], frame)) {
            continue;
        }
        RuleCounts& counts = counts_[i];
        ++counts.matched;
        bool accepts = false;
        if (rules_[i].trigger == TRIGGER_REGULAR) {
            accepts = on_ && (!recorded || INTERVAL_SPENT_WHEN_ALREADY_RECORDED) &&
                      RegularAccepts(i, frame.timeUs);
        } else {
            on_ = rules_[i].trigger == TRIGGER_START;
            switches.Add({frame.timeUs, frame.channel, on_, i});
            accepts = true;
        }
        if (accepts) {
            ++counts.passed;
            recorded = true;
        }
    }
    return recorded;
}

bool RecordingRules::RegularAccepts(std::size_t index, std::int64_t timeUs) {
    const std::int32_t intervalMs = rules_[index].interval;
    std::optional<std::int64_t>& last = lastAcceptedUs_[index];
    if (intervalMs > 0 && last && timeUs - *last < intervalMs * US_PER_MS) {
        return false;
    }
    last = timeUs;
    return true;
}

}  // namespace quillon::behaviour
