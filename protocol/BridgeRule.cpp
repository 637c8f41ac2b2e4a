#include "protocol/BridgeRule.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU32LE;
using byteorder::PutBytes;
using byteorder::PutU32LE;

namespace {

void DecodeMatch(std::span<const std::uint8_t> bytes, BridgeRule& r) {
    r.srcFlags = bytes[BridgeRule::OFFSET_SRC_FLAGS];
    r.reserved6 = GetBytes<2>(bytes, BridgeRule::OFFSET_RESERVED6);
    r.srcId = GetU32LE(bytes, BridgeRule::OFFSET_SRC_ID);
    r.srcDataMask = bytes[BridgeRule::OFFSET_SRC_DATA_MASK];
    r.srcLength = bytes[BridgeRule::OFFSET_SRC_LENGTH];
    r.srcData = GetBytes<8>(bytes, BridgeRule::OFFSET_SRC_DATA);
}

void DecodeForward(std::span<const std::uint8_t> bytes, BridgeRule& r) {
    r.dstFlags = bytes[BridgeRule::OFFSET_DST_FLAGS];
    r.reserved23 = bytes[BridgeRule::OFFSET_RESERVED23];
    r.dstId = GetU32LE(bytes, BridgeRule::OFFSET_DST_ID);
    r.yMax = bytes[BridgeRule::OFFSET_Y_MAX];
    r.dstDataMask = bytes[BridgeRule::OFFSET_DST_DATA_MASK];
    r.kMask = bytes[BridgeRule::OFFSET_K_MASK];
    r.mMask = bytes[BridgeRule::OFFSET_M_MASK];
    r.dstLength = bytes[BridgeRule::OFFSET_DST_LENGTH];
    r.dstData = GetBytes<8>(bytes, BridgeRule::OFFSET_DST_DATA);
    r.reserved41 = GetBytes<3>(bytes, BridgeRule::OFFSET_RESERVED41);
}

void EncodeMatch(const BridgeRule& r, std::span<std::uint8_t> bytes) {
    bytes[BridgeRule::OFFSET_SRC_FLAGS] = r.srcFlags;
    PutBytes(bytes, BridgeRule::OFFSET_RESERVED6, r.reserved6);
    PutU32LE(bytes, BridgeRule::OFFSET_SRC_ID, r.srcId);
    bytes[BridgeRule::OFFSET_SRC_DATA_MASK] = r.srcDataMask;
    bytes[BridgeRule::OFFSET_SRC_LENGTH] = r.srcLength;
    PutBytes(bytes, BridgeRule::OFFSET_SRC_DATA, r.srcData);
}

void EncodeForward(const BridgeRule& r, std::span<std::uint8_t> bytes) {
    bytes[BridgeRule::OFFSET_DST_FLAGS] = r.dstFlags;
    bytes[BridgeRule::OFFSET_RESERVED23] = r.reserved23;
    PutU32LE(bytes, BridgeRule::OFFSET_DST_ID, r.dstId);
    bytes[BridgeRule::OFFSET_Y_MAX] = r.yMax;
    bytes[BridgeRule::OFFSET_DST_DATA_MASK] = r.dstDataMask;
    bytes[BridgeRule::OFFSET_K_MASK] = r.kMask;
    bytes[BridgeRule::OFFSET_M_MASK] = r.mMask;
    bytes[BridgeRule::OFFSET_DST_LENGTH] = r.dstLength;
    PutBytes(bytes, BridgeRule::OFFSET_DST_DATA, r.dstData);
    PutBytes(bytes, BridgeRule::OFFSET_RESERVED41, r.reserved41);
}

}  // namespace

BridgeRule BridgeRule::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    BridgeRule r;
    r.leadByte = bytes[OFFSET_LEAD_BYTE];
    r.direction = bytes[OFFSET_DIRECTION];
    r.k = bytes[OFFSET_K];
    r.m = bytes[OFFSET_M];
    r.trigger = bytes[OFFSET_TRIGGER];
    DecodeMatch(bytes, r);
    DecodeForward(bytes, r);
    return r;
}

std::array<std::uint8_t, BridgeRule::SIZE> BridgeRule::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_LEAD_BYTE] = leadByte;
    bytes[OFFSET_DIRECTION] = direction;
    bytes[OFFSET_K] = k;
    bytes[OFFSET_M] = m;
    bytes[OFFSET_TRIGGER] = trigger;
    EncodeMatch(*this, bytes);
    EncodeForward(*this, bytes);
    return bytes;
}

}  // namespace quillon::protocol
