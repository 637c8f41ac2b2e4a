#include "protocol/CanFilter.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetU32LE;
using byteorder::PutU32LE;

CanFilter CanFilter::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    CanFilter f;
    f.used = bytes[OFFSET_USED];
    f.frameType = bytes[OFFSET_FRAME_TYPE];
    f.frameFormat = bytes[OFFSET_FRAME_FORMAT];
    f.trigger = bytes[OFFSET_TRIGGER];
    f.idStart = GetU32LE(bytes, OFFSET_ID_START);
    f.idEnd = GetU32LE(bytes, OFFSET_ID_END);
    f.interval = static_cast<std::int32_t>(GetU32LE(bytes, OFFSET_INTERVAL));
    return f;
}

std::array<std::uint8_t, CanFilter::SIZE> CanFilter::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_USED] = used;
    bytes[OFFSET_FRAME_TYPE] = frameType;
    bytes[OFFSET_FRAME_FORMAT] = frameFormat;
    bytes[OFFSET_TRIGGER] = trigger;
    PutU32LE(bytes, OFFSET_ID_START, idStart);
    PutU32LE(bytes, OFFSET_ID_END, idEnd);
    PutU32LE(bytes, OFFSET_INTERVAL, static_cast<std::uint32_t>(interval));
    return bytes;
}

}  // namespace quillon::protocol
