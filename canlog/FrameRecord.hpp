// A log's frame and the adapter library's frame record, one into the other.
#pragma once

#include <cstdint>

#include "platform/kelvix/Kelvix.h"
#include "protocol/TimedFrame.hpp"

namespace quillon::canlog {

/// `record` seen on `channel` at `timeUs`, written into `frame`; a remote frame
/// keeps its length, not its data. In place, for readers of long logs: a frame
/// returned and then copied costs more than the conversion.
void ToTimedFrame(const CanFrameRecord& record, int channel, std::int64_t timeUs,
                  protocol::TimedFrame& frame);

/// ToTimedFrame's frame as a value.
inline protocol::TimedFrame ToTimedFrame(const CanFrameRecord& record, int channel,
                                         std::int64_t timeUs) {
    protocol::TimedFrame frame;
    ToTimedFrame(record, channel, timeUs, frame);
    return frame;
}
/// The record that sends `frame` (time and channel are not part of it).
CanFrameRecord ToFrameRecord(const protocol::TimedFrame& frame);

}  // namespace quillon::canlog
