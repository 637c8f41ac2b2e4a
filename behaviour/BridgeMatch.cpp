#include "behaviour/BridgeMatch.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgeRule;

constexpr std::uint8_t ANY_LENGTH = 9;

bool TypeMatches(std::uint8_t flags, const protocol::TimedFrame& frame) {
    switch (flags & BridgeRule::TYPE_BITS) {
        case BridgeRule::TYPE_REMOTE:
            return frame.remote;
        case BridgeRule::TYPE_DATA:
            return !frame.remote;
        default:
            return true;
    }
}

bool FormatMatches(std::uint8_t flags, const protocol::TimedFrame& frame) {
    switch (flags & BridgeRule::FORMAT_BITS) {
        case BridgeRule::FORMAT_EXTENDED:
            return frame.extended;
        case BridgeRule::FORMAT_STANDARD:
            return !frame.extended;
        default:
            return true;
    }
}

bool DataMatches(const BridgeRule& rule, const protocol::TimedFrame& frame) {
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

}  // namespace

bool CoversDirection(const BridgeRule& rule, int fromChannel) {
    switch (rule.direction) {
        case BridgeRule::DIRECTION_CAN1_TO_CAN2:
            return fromChannel == 0;
        case BridgeRule::DIRECTION_CAN2_TO_CAN1:
            return fromChannel == 1;
        default:
            return true;
    }
}

bool SourceMatches(const BridgeRule& rule, const protocol::TimedFrame& frame) {
    return TypeMatches(rule.srcFlags, frame) && FormatMatches(rule.srcFlags, frame) &&
           (rule.srcId == BridgeRule::ANY_ID || rule.srcId == frame.id) &&
           (rule.srcLength == ANY_LENGTH || rule.srcLength == frame.length) &&
           DataMatches(rule, frame);
}

}  // namespace quillon::behaviour
