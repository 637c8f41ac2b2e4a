// The frame a bridge rule forwards for a source frame it matched.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "protocol/BridgeRule.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

/// Writes into `out` the forwarded frame, at the source's time, on channel
/// `toChannel`: type and format from `dstFlags` (0 keeps the source's), `dstId`
/// (0x80000000 keeps the identifier), `dstLength` (0..8, else the source's),
/// each byte the constant `dstData[i]` under `dstDataMask`, else computed from
/// source byte i, V (0 where the source has none, and for a remote source):
/// V, K*V, V+M or K*V+M by bit i of `kMask` / `mMask`, then limited to `yMax`
/// (or to 255 when `yMax` is 0), never wrapping around. A remote result
/// carries no data. False, with `out` unspecified, when the
/// identifier does not fit the result's format. Built in place: the bridge
/// writes it straight into the frames it sends.
bool Transform(const protocol::BridgeRule& rule, const protocol::TimedFrame& source, int toChannel,
               protocol::TimedFrame& out);

/// A rule's Transform, worked out once for a bridge that applies it to many
/// frames: each result byte is min(V * factor + offset, limit) for its place,
/// a constant byte having factor 0 and the constant as offset, so every byte
/// is computed alike and without a branch.
class RuleTransform {
  public:
    explicit RuleTransform(const protocol::BridgeRule& rule);
    /// Transform(rule, source, toChannel, out) for the rule it was made from.
    bool Apply(const protocol::TimedFrame& source, int toChannel, protocol::TimedFrame& out) const;

  private:
    std::uint8_t dstFlags_;
    std::uint32_t dstId_;
    std::uint8_t dstLength_;
    std::array<std::uint16_t, 8> factor_{};
    std::array<std::uint16_t, 8> offset_{};
    std::array<std::uint16_t, 8> limit_{};
};

/// Transform's frame as a value; nothing when it cannot be a frame.
inline std::optional<protocol::TimedFrame> Transformed(const protocol::BridgeRule& rule,
                                                       const protocol::TimedFrame& source,
                                                       int toChannel) {
    protocol::TimedFrame out;
    if (!Transform(rule, source, toChannel, out)) {
        return std::nullopt;
    }
    return out;
}

}  // namespace quillon::behaviour
