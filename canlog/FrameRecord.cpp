#include "canlog/FrameRecord.hpp"

#include <algorithm>

namespace quillon::canlog {

protocol::TimedFrame ToTimedFrame(const CanFrameRecord& record, int channel, std::int64_t timeUs) {
    protocol::TimedFrame frame;
    frame.timeUs = timeUs;
    frame.channel = channel;
    frame.id = record.ID;
    frame.extended = record.ExternFlag != 0;
    frame.remote = record.RemoteFlag != 0;
    frame.length = std::min<std::uint8_t>(record.DataLen, 8);
    if (!frame.remote) {
        std::copy_n(record.Data, frame.length, frame.data.begin());
    }
    return frame;
}

CanFrameRecord ToFrameRecord(const protocol::TimedFrame& frame) {
    CanFrameRecord record{};
    record.ID = frame.id;
    record.ExternFlag = frame.extended ? 1 : 0;
    record.RemoteFlag = frame.remote ? 1 : 0;
    record.DataLen = std::min<std::uint8_t>(frame.length, 8);
    if (!frame.remote) {
        std::copy_n(frame.data.begin(), record.DataLen, record.Data);
    }
    return record;
}

}  // namespace quillon::canlog
