#include "behaviour/BridgeTransform.hpp"

#include <algorithm>

#include "behaviour/ModelChoices.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgeRule;

constexpr std::uint32_t STANDARD_ID_LIMIT = 0x7FF;
constexpr std::uint32_t EXTENDED_ID_LIMIT = 0x1FFFFFFF;
constexpr unsigned BYTE_LIMIT = 255;

bool Bit(std::uint8_t mask, unsigned i) {
    return (mask & (1u << i)) != 0;
}

bool ResultRemote(std::uint8_t flags, bool source) {
    switch (flags & BridgeRule::TYPE_BITS) {
        case BridgeRule::TYPE_REMOTE:
            return true;
        case BridgeRule::TYPE_DATA:
            return false;
        default:
            return source;
    }
}

bool ResultExtended(std::uint8_t flags, bool source) {
    switch (flags & BridgeRule::FORMAT_BITS) {
        case BridgeRule::FORMAT_EXTENDED:
            return true;
        case BridgeRule::FORMAT_STANDARD:
            return false;
        default:
            return source;
    }
}

// Byte i of the result from source byte `v`: k*v and +m by the rule's
// masks, then limited, never wrapping around.
std::uint8_t ComputedByte(const BridgeRule& rule, unsigned i, std::uint8_t v) {
    unsigned value = v;
    if (Bit(rule.kMask, i)) {
        value *= rule.k;
    }
    if (Bit(rule.mMask, i)) {
        value += rule.m;
    }
    const unsigned limit = rule.yMax != 0 ? rule.yMax : BYTE_LIMIT;
    return static_cast<std::uint8_t>(std::min(value, limit));
}

}  // namespace

bool Transform(const BridgeRule& rule, const protocol::TimedFrame& source, int toChannel,
               protocol::TimedFrame& out) {
    out.timeUs = source.timeUs;
    out.channel = toChannel;
    out.remote = ResultRemote(rule.dstFlags, source.remote);
    out.extended = ResultExtended(rule.dstFlags, source.extended);
    out.id = rule.dstId == BridgeRule::ANY_ID ? source.id : rule.dstId;
    out.length = rule.dstLength <= MAX_SET_LENGTH ? rule.dstLength : source.length;
    if (out.id > (out.extended ? EXTENDED_ID_LIMIT : STANDARD_ID_LIMIT)) {
        return false;
    }
    out.data = {};
    if (out.remote) {
        return true;
    }
    const unsigned have = source.remote ? 0u : source.length;
    for (unsigned i = 0; i < out.length; ++i) {
        const std::uint8_t v = i < have ? source.data[i] : 0;
        out.data[i] = Bit(rule.dstDataMask, i) ? rule.dstData[i] : ComputedByte(rule, i, v);
    }
    return true;
}

}  // namespace quillon::behaviour
