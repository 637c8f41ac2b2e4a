// Which frames a bridge rule applies to: its direction and its source fields.
// Inline: a bridge asks this of every rule for every frame it takes in.
#pragma once

#include "protocol/BridgeRule.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {
namespace match_detail {

inline constexpr std::uint8_t ANY_LENGTH = 9;

inline bool TypeMatches(std::uint8_t flags, const protocol::TimedFrame& frame) {
    switch (flags & protocol::BridgeRule::TYPE_BITS) {
        case protocol::BridgeRule::TYPE_REMOTE:
            return frame.remote;
        case protocol::BridgeRule::TYPE_DATA:
            return !frame.remote;
        default:
            return true;
    }
}

inline bool FormatMatches(std::uint8_t flags, const protocol::TimedFrame& frame) {
    switch (flags & protocol::BridgeRule::FORMAT_BITS) {
        case protocol::BridgeRule::FORMAT_EXTENDED:
            return frame.extended;
        case protocol::BridgeRule::FORMAT_STANDARD:
            return !frame.extended;
        default:
            return true;
    }
}

inline bool DataMatches(const protocol::BridgeRule& rule, const protocol::TimedFrame& frame) {
    if (rule.srcDataMask == 0) {
        return true;  // most rules ask nothing of the data
    }
    for (unsigned i = 0; i < 8; ++i) {
        if ((rule.srcDataMask & (1u << i)) == 0) {
            continue;
        }
        if (frame.remote || i >= frame.length || frame.data[i] != rule.srcData[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace match_detail

/// True when the rule's `direction` covers frames arriving on `fromChannel`
/// (0 CAN1->CAN2, 1 CAN2->CAN1, any other value both ways).
inline bool CoversDirection(const protocol::BridgeRule& rule, int fromChannel) {
    switch (rule.direction) {
        case protocol::BridgeRule::DIRECTION_CAN1_TO_CAN2:
            return fromChannel == 0;
        case protocol::BridgeRule::DIRECTION_CAN2_TO_CAN1:
            return fromChannel == 1;
        default:
            return true;
    }
}

/// True when the frame matches the rule's source: `srcFlags` type and format
/// bits, `srcId` (or any), `srcLength` (or 9, any) and the bytes of `srcData`
/// under `srcDataMask` (never met by a remote frame or one too short).
inline bool SourceMatches(const protocol::BridgeRule& rule, const protocol::TimedFrame& frame) {
    return match_detail::TypeMatches(rule.srcFlags, frame) &&
           match_detail::FormatMatches(rule.srcFlags, frame) &&
           (rule.srcId == protocol::BridgeRule::ANY_ID || rule.srcId == frame.id) &&
           (rule.srcLength == match_detail::ANY_LENGTH || rule.srcLength == frame.length) &&
           match_detail::DataMatches(rule, frame);
}

}  // namespace quillon::behaviour
