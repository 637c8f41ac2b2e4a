#include "protocol/BridgePara.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::PutBytes;
using byteorder::SubBlock;

BridgePara BridgePara::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    BridgePara p;
    p.checksum = bytes[OFFSET_CHECKSUM];
    p.ruleCount = bytes[OFFSET_RULE_COUNT];
    p.bridgeFlags = bytes[OFFSET_BRIDGE_FLAGS];
    p.reserved3 = bytes[OFFSET_RESERVED3];
    for (std::size_t i = 0; i < MAX_BRIDGE_RULES; ++i) {
        const std::size_t offset = OFFSET_RULES + i * BridgeRule::SIZE;
        p.rules[i] = BridgeRule::FromBytes(SubBlock<BridgeRule::SIZE>(bytes, offset));
    }
    return p;
}

std::array<std::uint8_t, BridgePara::SIZE> BridgePara::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_CHECKSUM] = checksum;
    bytes[OFFSET_RULE_COUNT] = ruleCount;
    bytes[OFFSET_BRIDGE_FLAGS] = bridgeFlags;
    bytes[OFFSET_RESERVED3] = reserved3;
    for (std::size_t i = 0; i < MAX_BRIDGE_RULES; ++i) {
        PutBytes(bytes, OFFSET_RULES + i * BridgeRule::SIZE, rules[i].ToBytes());
    }
    return bytes;
}

}  // namespace quillon::protocol
