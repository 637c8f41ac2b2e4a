// Which frames a bridge rule applies to: its direction and its source fields.
#pragma once

#include "protocol/BridgeRule.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

/// True when the rule's `direction` covers frames arriving on `fromChannel`
/// (0 CAN1->CAN2, 1 CAN2->CAN1, any other value both ways).
bool CoversDirection(const protocol::BridgeRule& rule, int fromChannel);

/// True when the frame matches the rule's source: `srcFlags` type and format
/// bits, `srcId` (or any), `srcLength` (or 9, any) and the bytes of `srcData`
/// under `srcDataMask` (never met by a remote frame or one too short).
bool SourceMatches(const protocol::BridgeRule& rule, const protocol::TimedFrame& frame);

}  // namespace quillon::behaviour
