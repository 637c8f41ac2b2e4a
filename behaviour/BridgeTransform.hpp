// The frame a bridge rule forwards for a source frame it matched.
#pragma once

#include <optional>

#include "protocol/BridgeRule.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

/// Computed byte i of a forwarded frame from source byte `v`: v, k*v, v+m or
/// k*v+m by bit i of `kMask` / `mMask`, then limited to `yMax` (or to 255 when
/// `yMax` is 0), never wrapping around.
std::uint8_t ComputedByte(const protocol::BridgeRule& rule, unsigned i, std::uint8_t v);

/// The forwarded frame, at the source's time, on channel `toChannel`: type and
/// format from `dstFlags` (0 keeps the source's), `dstId` (0x80000000 keeps the
/// identifier), `dstLength` (0..8, else the source's), each byte the constant
/// `dstData[i]` under `dstDataMask` or ComputedByte of source byte i (0 where
/// the source has none, and for a remote source). A remote result carries no
/// data. Nothing when the identifier does not fit the result's format.
std::optional<protocol::TimedFrame> Transform(const protocol::BridgeRule& rule,
                                              const protocol::TimedFrame& source, int toChannel);

}  // namespace quillon::behaviour
