#include "platform/kelvix/socketcan/SocketCanFrame.hpp"

#include <algorithm>

namespace kelvix {
namespace {

std::string Hex(std::uint32_t value) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), DIGITS[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

}  // namespace

std::optional<SocketCanFrame> ToSocketCanFrame(const CanFrameRecord& record, std::string& error) {
    const bool extended = record.ExternFlag != 0;
    const std::uint32_t mask = extended ? SOCKETCAN_EXTENDED_MASK : SOCKETCAN_STANDARD_MASK;
    if ((record.ID & ~mask) != 0) {
        error = "identifier " + Hex(record.ID) + " does not fit a " +
                (extended ? "29-bit extended" : "11-bit standard") + " frame";
        return std::nullopt;
    }
    if (record.DataLen > SOCKETCAN_MAX_LENGTH) {
        error = "data length " + std::to_string(record.DataLen) + " of frame " + Hex(record.ID) +
                " is over 8";
        return std::nullopt;
    }
    SocketCanFrame frame;
    frame.canId = record.ID | (extended ? SOCKETCAN_EXTENDED_FLAG : 0u) |
                  (record.RemoteFlag != 0 ? SOCKETCAN_REMOTE_FLAG : 0u);
    frame.length = record.DataLen;
    if (record.RemoteFlag == 0) {
        std::copy_n(record.Data, record.DataLen, frame.data.begin());
    }
    return frame;
}

std::optional<CanFrameRecord> FromSocketCanFrame(const SocketCanFrame& frame) {
    if ((frame.canId & SOCKETCAN_ERROR_FLAG) != 0) {
        return std::nullopt;
    }
    CanFrameRecord record{};
    const bool extended = (frame.canId & SOCKETCAN_EXTENDED_FLAG) != 0;
    record.ID = frame.canId & (extended ? SOCKETCAN_EXTENDED_MASK : SOCKETCAN_STANDARD_MASK);
    record.ExternFlag = extended ? 1 : 0;
    record.RemoteFlag = (frame.canId & SOCKETCAN_REMOTE_FLAG) != 0 ? 1 : 0;
    record.DataLen = std::min(frame.length, SOCKETCAN_MAX_LENGTH);
    if (record.RemoteFlag == 0) {
        std::copy_n(frame.data.begin(), record.DataLen, record.Data);
    }
    return record;
}

}  // namespace kelvix
