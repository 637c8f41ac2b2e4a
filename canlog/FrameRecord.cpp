#include "canlog/FrameRecord.hpp"

#include <algorithm>

namespace quillon::canlog {

void ToTimedFrame(const CanFrameRecord& record, int channel, std::int64_t timeUs,
                  protocol::TimedFrame& frame) {
    frame.timeUs = timeUs;
    frame.channel = channel;
    frame.id = record.ID;
    frame.extended = record.ExternFlag != 0;
    frame.remote = record.RemoteFlag != 0;
    frame.length = std::min<std::uint8_t>(record.DataLen, 8);
    // Every byte position, chosen without a branch: a loop to the length
    // would guess wrong on logs whose lengths vary from frame to frame.
    const unsigned kept = frame.remote ? 0u : frame.length;
    for (unsigned i = 0; i < 8; ++i) {
        frame.data[i] = i < kept ? record.Data[i] : 0;
    }
}

CanFrameRecord ToFrameRecord(const protocol::TimedFrame& frame) {
    CanFrameRecord record{};
    record.ID = frame.id;
    record.ExternFlag = frame.extended ? 1 : 0;
    record.RemoteFlag = frame.remote ? 1 : 0;
    record.DataLen = std::min<std::uint8_t>(frame.length, 8);
    const unsigned kept = frame.remote ? 0u : record.DataLen;
    for (unsigned i = 0; i < 8; ++i) {
        record.Data[i] = i < kept ? frame.data[i] : 0;
    }
    return record;
}

}  // namespace quillon::canlog
