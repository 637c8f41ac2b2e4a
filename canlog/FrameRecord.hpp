// A log's frame and the adapter library's frame record, one into the other.
#pragma once

#include <cstdint>

#include "platform/kelvix/Kelvix.h"
#include "protocol/TimedFrame.hpp"

namespace quillon::canlog {

/// `record` seen on `channel` at `timeUs`; a remote frame keeps its length, not its data.
protocol::TimedFrame ToTimedFrame(const CanFrameRecord& record, int channel, std::int64_t timeUs);
/// The record that sends `frame` (time and channel are not part of it).
CanFrameRecord ToFrameRecord(const protocol::TimedFrame& frame);

}  // namespace quillon::canlog
