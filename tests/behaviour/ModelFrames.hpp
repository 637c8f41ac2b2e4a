// Frames and rules for the device model's tests, written as the rows read.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "protocol/BridgeRule.hpp"
#include "protocol/CanFilter.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour::testing {

/// A data frame on `channel` at `timeUs` with the given bytes.
inline protocol::TimedFrame Data(int channel, std::uint32_t id,
                                 std::initializer_list<std::uint8_t> bytes, std::int64_t timeUs = 0,
                                 bool extended = false) {
    protocol::TimedFrame frame;
    frame.timeUs = timeUs;
    frame.channel = channel;
    frame.id = id;
    frame.extended = extended;
    for (const std::uint8_t byte : bytes) {
        frame.data[frame.length++] = byte;
    }
    return frame;
}

inline protocol::TimedFrame Remote(int channel, std::uint32_t id, std::uint8_t length,
                                   std::int64_t timeUs = 0, bool extended = false) {
    protocol::TimedFrame frame;
    frame.timeUs = timeUs;
    frame.channel = channel;
    frame.id = id;
    frame.extended = extended;
    frame.remote = true;
    frame.length = length;
    return frame;
}

inline protocol::TimedFrame Extended(protocol::TimedFrame frame) {
    frame.extended = true;
    return frame;
}

inline protocol::TimedFrame At(protocol::TimedFrame frame, std::int64_t timeUs) {
    frame.timeUs = timeUs;
    return frame;
}

inline constexpr std::uint8_t START = 0;
inline constexpr std::uint8_t STOP = 1;
inline constexpr std::uint8_t REGULAR = 2;

/// A recording rule over standard data frames idStart..idEnd.
inline protocol::CanFilter RecordRule(std::uint8_t trigger, std::uint32_t idStart,
                                      std::uint32_t idEnd, std::int32_t intervalMs = 0) {
    protocol::CanFilter rule;
    rule.used = 1;
    rule.trigger = trigger;
    rule.idStart = idStart;
    rule.idEnd = idEnd;
    rule.interval = intervalMs;
    return rule;
}

/// A bridge rule as the page builds it: any source, nothing changed, both ways off
/// the given direction and trigger.
inline protocol::BridgeRule BridgeRuleOf(std::uint8_t direction, std::uint8_t trigger) {
    protocol::BridgeRule rule;
    rule.direction = direction;
    rule.trigger = trigger;
    rule.srcFlags = protocol::BridgeRule::FLAGS_BASE;
    rule.srcId = protocol::BridgeRule::ANY_ID;
    rule.srcLength = 9;
    rule.dstFlags = protocol::BridgeRule::FLAGS_BASE;
    rule.dstId = protocol::BridgeRule::ANY_ID;
    rule.dstLength = 9;
    return rule;
}

}  // namespace quillon::behaviour::testing
