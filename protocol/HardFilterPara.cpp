#include "protocol/HardFilterPara.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU32LE;
using byteorder::PutBytes;
using byteorder::PutU32LE;

HardFilterPara HardFilterPara::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    HardFilterPara p;
    p.checksum = bytes[OFFSET_CHECKSUM];
    p.enable = bytes[OFFSET_ENABLE];
    p.filterCount = bytes[OFFSET_FILTER_COUNT];
    p.frameFormat = GetBytes<MAX_HARD_FILTERS>(bytes, OFFSET_FRAME_FORMAT);
    p.reserved17 = GetBytes<3>(bytes, OFFSET_RESERVED17);
    for (std::size_t i = 0; i < MAX_HARD_FILTERS; ++i) {
        p.matchValue[i] = GetU32LE(bytes, OFFSET_MATCH_VALUE + 4 * i);
        p.matchMask[i] = GetU32LE(bytes, OFFSET_MATCH_MASK + 4 * i);
    }
    return p;
}

std::array<std::uint8_t, HardFilterPara::SIZE> HardFilterPara::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_CHECKSUM] = checksum;
    bytes[OFFSET_ENABLE] = enable;
    bytes[OFFSET_FILTER_COUNT] = filterCount;
    PutBytes(bytes, OFFSET_FRAME_FORMAT, frameFormat);
    PutBytes(bytes, OFFSET_RESERVED17, reserved17);
    for (std::size_t i = 0; i < MAX_HARD_FILTERS; ++i) {
        PutU32LE(bytes, OFFSET_MATCH_VALUE + 4 * i, matchValue[i]);
        PutU32LE(bytes, OFFSET_MATCH_MASK + 4 * i, matchMask[i]);
    }
    return bytes;
}

}  // namespace quillon::protocol
