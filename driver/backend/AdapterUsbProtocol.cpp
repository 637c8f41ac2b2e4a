#include "driver/backend/AdapterUsbProtocol.hpp"

#include <algorithm>

#include "platform/byteorder/ByteOrder.hpp"

namespace brindle::usb {

using quillon::byteorder::GetU32LE;
using quillon::byteorder::PutU32LE;

FrameRecordBytes EncodeFrame(std::uint8_t channel, const CanFrameRecord& frame) {
    FrameRecordBytes out{};
    out[0] = channel;
    out[1] = static_cast<std::uint8_t>((frame.RemoteFlag != 0 ? FLAG_REMOTE : 0) |
                                       (frame.ExternFlag != 0 ? FLAG_EXTENDED : 0));
    const std::uint8_t length = std::min<std::uint8_t>(frame.DataLen, 8);
    out[2] = length;
    PutU32LE(out, 4, frame.ID);
    PutU32LE(out, 8, frame.TimeStamp);
    std::copy(frame.Data, frame.Data + length, out.begin() + 12);
    return out;
}

std::optional<ChannelFrame> DecodeFrame(std::span<const std::uint8_t> record) {
    if (record.size() != FRAME_RECORD_SIZE || record[2] > 8 ||
        (record[1] & ~(FLAG_REMOTE | FLAG_EXTENDED)) != 0) {
        return std::nullopt;
    }
    ChannelFrame decoded;
    decoded.channel = record[0];
    CanFrameRecord& frame = decoded.frame;
    frame.RemoteFlag = (record[1] & FLAG_REMOTE) != 0 ? 1 : 0;
    frame.ExternFlag = (record[1] & FLAG_EXTENDED) != 0 ? 1 : 0;
    frame.DataLen = record[2];
    frame.ID = GetU32LE(record, 4);
    frame.TimeStamp = GetU32LE(record, 8);
    std::copy(record.begin() + 12, record.begin() + 12 + frame.DataLen, frame.Data);
    return decoded;
}

std::vector<std::uint8_t> EncodeCommand(const Command& command) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(command.opcode), command.channel, 0, 0};
    out.insert(out.end(), command.payload.begin(), command.payload.end());
    return out;
}

std::vector<std::uint8_t> EncodeInitPayload(const CanInitRecord& init) {
    std::vector<std::uint8_t> out(16);
    PutU32LE(out, 0, init.AccCode);
    PutU32LE(out, 4, init.AccMask);
    PutU32LE(out, 8, init.Reserved);
    out[12] = init.Filter;
    out[13] = init.Timing0;
    out[14] = init.Timing1;
    out[15] = init.Mode;
    return out;
}

CanInitRecord DecodeInitPayload(std::span<const std::uint8_t> payload) {
    // Bytes past a short payload read as 0 rather than past its end.
    std::array<std::uint8_t, 16> bytes{};
    std::copy_n(payload.begin(), std::min(payload.size(), bytes.size()), bytes.begin());
    CanInitRecord init{};
    init.AccCode = GetU32LE(bytes, 0);
    init.AccMask = GetU32LE(bytes, 4);
    init.Reserved = GetU32LE(bytes, 8);
    init.Filter = bytes[12];
    init.Timing0 = bytes[13];
    init.Timing1 = bytes[14];
    init.Mode = bytes[15];
    return init;
}

std::array<std::uint8_t, RESPONSE_RECORD_SIZE> EncodeResponse(const Response& response) {
    std::array<std::uint8_t, RESPONSE_RECORD_SIZE> out{};
    out[0] = response.opcode;
    out[1] = response.channel;
    out[2] = static_cast<std::uint8_t>(response.status);
    PutU32LE(out, 4, response.error.ErrCode);
    std::copy(response.error.Passive_ErrData, response.error.Passive_ErrData + 3, out.begin() + 8);
    out[11] = response.error.ArLost_ErrData;
    return out;
}

std::optional<Response> DecodeResponse(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != RESPONSE_RECORD_SIZE ||
        bytes[2] > static_cast<std::uint8_t>(ResponseStatus::Refused)) {
        return std::nullopt;
    }
    Response response;
    response.opcode = bytes[0];
    response.channel = bytes[1];
    response.status = static_cast<ResponseStatus>(bytes[2]);
    response.error.ErrCode = GetU32LE(bytes, 4);
    std::copy(bytes.begin() + 8, bytes.begin() + 11, response.error.Passive_ErrData);
    response.error.ArLost_ErrData = bytes[11];
    return response;
}

}  // namespace brindle::usb
