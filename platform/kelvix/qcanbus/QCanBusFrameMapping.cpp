#include "platform/kelvix/qcanbus/QCanBusFrameMapping.hpp"

#include <algorithm>

#include "platform/kelvix/socketcan/SocketCanFrame.hpp"

namespace kelvix {

// The identifier and length rules are those of the raw socket frame, so the
// check is shared with it.
std::optional<QCanBusFrame> ToQCanBusFrame(const CanFrameRecord& record, std::string& error) {
    if (!ToSocketCanFrame(record, error)) {
        return std::nullopt;
    }
    QCanBusFrame frame;
    frame.setFrameId(record.ID);
    frame.setExtendedFrameFormat(record.ExternFlag != 0);
    if (record.RemoteFlag != 0) {
        frame.setFrameType(QCanBusFrame::RemoteRequestFrame);
        frame.setPayload(QByteArray(record.DataLen, '\0'));
    } else {
        frame.setFrameType(QCanBusFrame::DataFrame);
        frame.setPayload(QByteArray(reinterpret_cast<const char*>(record.Data), record.DataLen));
    }
    return frame;
}

std::optional<CanFrameRecord> FromQCanBusFrame(const QCanBusFrame& frame, std::string& error) {
    const auto type = frame.frameType();
    if (type != QCanBusFrame::DataFrame && type != QCanBusFrame::RemoteRequestFrame) {
        error = "bus error frame " + frame.toString().toStdString();
        return std::nullopt;
    }
    const QByteArray payload = frame.payload();
    if (payload.size() > 8) {
        error = "frame " + frame.toString().toStdString() + " has more than 8 data bytes";
        return std::nullopt;
    }
    CanFrameRecord record{};
    record.ID = frame.frameId();
    record.ExternFlag = frame.hasExtendedFrameFormat() ? 1 : 0;
    record.RemoteFlag = type == QCanBusFrame::RemoteRequestFrame ? 1 : 0;
    record.DataLen = static_cast<std::uint8_t>(payload.size());
    if (record.RemoteFlag == 0) {
        std::copy(payload.begin(), payload.end(), record.Data);
    }
    return record;
}

}  // namespace kelvix
