#include "behaviour/BridgeTransform.hpp"

#include <algorithm>

#include "behaviour/ModelChoices.hpp"

namespace quillon::behaviour {
namespace {

using protocol::BridgeRule;

constexpr std::uint32_t STANDARD_ID_LIMIT = 0x7FF;
constexpr std::uint32_t EXTENDED_ID_LIMIT = 0x1FFFFFFF;
constexpr unsigned BYTE_LIMIT = 255;

// For a length 0..8, all ones in the lanes below it.
constexpr std::array<std::array<std::uint16_t, 8>, 9> LANES_BELOW = [] {
    std::array<std::array<std::uint16_t, 8>, 9> masks{};
    for (std::size_t length = 0; length <= 8; ++length) {
        for (std::size_t i = 0; i < length; ++i) {
            masks[length][i] = 0xFFFF;
        }
    }
    return masks;
}();

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

}  // namespace

RuleTransform::RuleTransform(const BridgeRule& rule)
    : dstFlags_(rule.dstFlags), dstId_(rule.dstId), dstLength_(rule.dstLength) {
    const unsigned limit = rule.yMax != 0 ? rule.yMax : BYTE_LIMIT;
    for (unsigned i = 0; i < 8; ++i) {
        if (Bit(rule.dstDataMask, i)) {
            factor_[i] = 0;
            offset_[i] = rule.dstData[i];
            limit_[i] = BYTE_LIMIT;
        } else {
            factor_[i] = Bit(rule.kMask, i) ? rule.k : 1;
            offset_[i] = Bit(rule.mMask, i) ? rule.m : 0;
            limit_[i] = static_cast<std::uint16_t>(limit);
        }
    }
}

bool RuleTransform::Apply(const protocol::TimedFrame& source, int toChannel,
                          protocol::TimedFrame& out) const {
    out.timeUs = source.timeUs;
    out.channel = toChannel;
    out.remote = ResultRemote(dstFlags_, source.remote);
    out.extended = ResultExtended(dstFlags_, source.extended);
    out.id = dstId_ == BridgeRule::ANY_ID ? source.id : dstId_;
    out.length = dstLength_ <= MAX_SET_LENGTH ? dstLength_ : source.length;
    if (out.id > (out.extended ? EXTENDED_ID_LIMIT : STANDARD_ID_LIMIT)) {
        return false;
    }
    // Eight lanes side by side, so that the compiler can work on them at
    // once: 255 * 255 + 255 fits in 16 bits, so no sum wraps before it is
    // limited, and the lengths come in as masks rather than branches.
    const unsigned have = source.remote ? 0u : source.length;
    const unsigned keep = out.remote ? 0u : out.length;
    const auto& haveMask = LANES_BELOW[std::min(have, 8u)];
    const auto& keepMask = LANES_BELOW[std::min(keep, 8u)];
    const std::array<std::uint8_t, 8> sourceBytes = source.data;
    std::array<std::uint16_t, 8> lanes{};
    for (std::size_t i = 0; i < 8; ++i) {
        lanes[i] = static_cast<std::uint16_t>(sourceBytes[i] & haveMask[i]);
    }
    for (std::size_t i = 0; i < 8; ++i) {
        lanes[i] = static_cast<std::uint16_t>(lanes[i] * factor_[i] + offset_[i]);
    }
    for (std::size_t i = 0; i < 8; ++i) {
        lanes[i] = std::min(lanes[i], limit_[i]);
    }
    std::array<std::uint8_t, 8> bytes{};
    for (std::size_t i = 0; i < 8; ++i) {
        bytes[i] = static_cast<std::uint8_t>(lanes[i] & keepMask[i]);
    }
    out.data = bytes;
    return true;
}

bool Transform(const BridgeRule& rule, const protocol::TimedFrame& source, int toChannel,
               protocol::TimedFrame& out) {
    return RuleTransform(rule).Apply(source, toChannel, out);
}

}  // namespace quillon::behaviour
