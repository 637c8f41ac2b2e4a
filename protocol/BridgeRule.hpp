#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::protocol {

// One forwarding rule of a CAN bridge, 44 bytes inside BridgePara.
//
// A forwarded data byte i is dstData[i] when bit i of dstDataMask is set; otherwise it is the
// source byte V, times k where kMask bit i is set, plus m where mMask bit i is set, capped at
// yMax when yMax is non-zero.
struct BridgeRule {
    static constexpr std::size_t SIZE = 44;
    static constexpr std::size_t OFFSET_LEAD_BYTE = 0;
    static constexpr std::size_t OFFSET_DIRECTION = 1;
    static constexpr std::size_t OFFSET_K = 2;
    static constexpr std::size_t OFFSET_M = 3;
    static constexpr std::size_t OFFSET_TRIGGER = 4;
    static constexpr std::size_t OFFSET_SRC_FLAGS = 5;
    static constexpr std::size_t OFFSET_RESERVED6 = 6;
    static constexpr std::size_t OFFSET_SRC_ID = 8;
    static constexpr std::size_t OFFSET_SRC_DATA_MASK = 12;
    static constexpr std::size_t OFFSET_SRC_LENGTH = 13;
    static constexpr std::size_t OFFSET_SRC_DATA = 14;
    static constexpr std::size_t OFFSET_DST_FLAGS = 22;
    static constexpr std::size_t OFFSET_RESERVED23 = 23;
    static constexpr std::size_t OFFSET_DST_ID = 24;
    static constexpr std::size_t OFFSET_Y_MAX = 28;
    static constexpr std::size_t OFFSET_DST_DATA_MASK = 29;
    static constexpr std::size_t OFFSET_K_MASK = 30;
    static constexpr std::size_t OFFSET_M_MASK = 31;
    static constexpr std::size_t OFFSET_DST_LENGTH = 32;
    static constexpr std::size_t OFFSET_DST_DATA = 33;
    static constexpr std::size_t OFFSET_RESERVED41 = 41;

    // srcFlags / dstFlags: the frame type in bits 0-1 and the frame format in bits 2-3,
    // each 0 for any (match) or unchanged (forwarded frame); the page sets bits 4-7.
    static constexpr std::uint8_t FLAGS_BASE = 0xF0;
    static constexpr std::uint8_t TYPE_BITS = 0x03;
    static constexpr std::uint8_t TYPE_REMOTE = 0x01;
    static constexpr std::uint8_t TYPE_DATA = 0x02;
    static constexpr std::uint8_t FORMAT_BITS = 0x0C;
    static constexpr std::uint8_t FORMAT_EXTENDED = 0x04;
    static constexpr std::uint8_t FORMAT_STANDARD = 0x08;
    // Values of direction and trigger; any other trigger makes an ordinary rule.
    static constexpr std::uint8_t DIRECTION_CAN1_TO_CAN2 = 0;
    static constexpr std::uint8_t DIRECTION_CAN2_TO_CAN1 = 1;
    static constexpr std::uint8_t DIRECTION_BOTH = 2;
    static constexpr std::uint8_t TRIGGER_START = 0;
    static constexpr std::uint8_t TRIGGER_STOP = 1;
    // Identifier meaning "any identifier" (srcId) or "identifier unchanged" (dstId).
    static constexpr std::uint32_t ANY_ID = 0x80000000;

    std::uint8_t leadByte = 0;   // not set by the page; a parameter read stores the device's byte
    std::uint8_t direction = 0;  // 0 CAN1->CAN2, 1 CAN2->CAN1, 2 both ways
    std::uint8_t k = 0;          // factor K
    std::uint8_t m = 0;          // offset M
    std::uint8_t trigger = 0;    // 0 start forwarding, 1 stop forwarding, 2 ordinary rule
    std::uint8_t srcFlags = 0;
    std::array<std::uint8_t, 2> reserved6{};
    std::uint32_t srcId = 0;
    std::uint8_t srcDataMask = 0;  // bit i set: source byte i must equal srcData[i]
    std::uint8_t srcLength = 0;    // required data length 0..8, 9 = any
    std::array<std::uint8_t, 8> srcData{};
    std::uint8_t dstFlags = 0;
    std::uint8_t reserved23 = 0;
    std::uint32_t dstId = 0;
    std::uint8_t yMax = 0;  // ceiling for computed bytes, 0 = none
    std::uint8_t dstDataMask = 0;
    std::uint8_t kMask = 0;
    std::uint8_t mMask = 0;
    std::uint8_t dstLength = 0;  // forwarded data length 0..8, 9 = no constraint
    std::array<std::uint8_t, 8> dstData{};
    std::array<std::uint8_t, 3> reserved41{};

    static BridgeRule FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const BridgeRule&) const = default;
};

static_assert(BridgeRule::OFFSET_SRC_DATA + 8 == BridgeRule::OFFSET_DST_FLAGS);
static_assert(BridgeRule::OFFSET_DST_ID + 4 == BridgeRule::OFFSET_Y_MAX);
static_assert(BridgeRule::OFFSET_DST_DATA + 8 == BridgeRule::OFFSET_RESERVED41);
static_assert(BridgeRule::OFFSET_RESERVED41 + 3 == BridgeRule::SIZE);

}  // namespace quillon::protocol
