#include "protocol/ReplayPara.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU16LE;
using byteorder::GetU32LE;
using byteorder::PutBytes;
using byteorder::PutU16LE;
using byteorder::PutU32LE;
using byteorder::SubBlock;

ReplayPara ReplayPara::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    ReplayPara p;
    p.checksum = bytes[OFFSET_CHECKSUM];
    p.sendMode = bytes[OFFSET_SEND_MODE];
    p.ruleCount = bytes[OFFSET_RULE_COUNT];
    p.reserved3 = bytes[OFFSET_RESERVED3];
    p.repeatAll = GetU16LE(bytes, OFFSET_REPEAT_ALL);
    p.reserved6 = GetBytes<2>(bytes, OFFSET_RESERVED6);
    p.auxValue = GetU32LE(bytes, OFFSET_AUX_VALUE);
    for (std::size_t i = 0; i < MAX_REPLAY_RULES; ++i) {
        const std::size_t offset = OFFSET_RULES + i * ReplayRule::SIZE;
        p.rules[i] = ReplayRule::FromBytes(SubBlock<ReplayRule::SIZE>(bytes, offset));
    }
    return p;
}

std::array<std::uint8_t, ReplayPara::SIZE> ReplayPara::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_CHECKSUM] = checksum;
    bytes[OFFSET_SEND_MODE] = sendMode;
    bytes[OFFSET_RULE_COUNT] = ruleCount;
    bytes[OFFSET_RESERVED3] = reserved3;
    PutU16LE(bytes, OFFSET_REPEAT_ALL, repeatAll);
    PutBytes(bytes, OFFSET_RESERVED6, reserved6);
    PutU32LE(bytes, OFFSET_AUX_VALUE, auxValue);
    for (std::size_t i = 0; i < MAX_REPLAY_RULES; ++i) {
        PutBytes(bytes, OFFSET_RULES + i * ReplayRule::SIZE, rules[i].ToBytes());
    }
    return bytes;
}

}  // namespace quillon::protocol
