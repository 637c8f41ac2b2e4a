#include "protocol/ReplayRule.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU16LE;
using byteorder::GetU32LE;
using byteorder::PutBytes;
using byteorder::PutU16LE;
using byteorder::PutU32LE;

ReplayRule ReplayRule::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    ReplayRule r;
    r.channelMask = bytes[OFFSET_CHANNEL_MASK];
    r.reserved1 = bytes[OFFSET_RESERVED1];
    r.times = GetU16LE(bytes, OFFSET_TIMES);
    r.intervalSec = GetU32LE(bytes, OFFSET_INTERVAL_SEC);
    r.fileName = GetBytes<MAX_FILE_NAME_BYTES + 1>(bytes, OFFSET_FILE_NAME);
    r.reserved25 = GetBytes<3>(bytes, OFFSET_RESERVED25);
    return r;
}

std::array<std::uint8_t, ReplayRule::SIZE> ReplayRule::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_CHANNEL_MASK] = channelMask;
    bytes[OFFSET_RESERVED1] = reserved1;
    PutU16LE(bytes, OFFSET_TIMES, times);
    PutU32LE(bytes, OFFSET_INTERVAL_SEC, intervalSec);
    PutBytes(bytes, OFFSET_FILE_NAME, fileName);
    PutBytes(bytes, OFFSET_RESERVED25, reserved25);
    return bytes;
}

}  // namespace quillon::protocol
