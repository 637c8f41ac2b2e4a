#include "protocol/CanPara.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::PutBytes;
using byteorder::SubBlock;

CanPara CanPara::Defaults() {
    CanPara p;
    p.enable = 1;
    p.baudIndex = 0;
    // Replaced from BTR_TABLE by the load; kept for a channel that never goes through it.
    p.btr0 = 0x40;
    p.btr1 = 0x27;
    return p;
}

CanPara CanPara::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    CanPara p;
    p.checksum = bytes[OFFSET_CHECKSUM];
    p.enable = bytes[OFFSET_ENABLE];
    p.baudIndex = bytes[OFFSET_BAUD_INDEX];
    p.btr0 = bytes[OFFSET_BTR0];
    p.btr1 = bytes[OFFSET_BTR1];
    p.workMode = bytes[OFFSET_WORK_MODE];
    p.acceptAll = bytes[OFFSET_ACCEPT_ALL];
    p.filterCount = bytes[OFFSET_FILTER_COUNT];
    for (std::size_t i = 0; i < MAX_CAN_FILTERS; ++i) {
        const std::size_t offset = OFFSET_FILTERS + i * CanFilter::SIZE;
        p.filters[i] = CanFilter::FromBytes(SubBlock<CanFilter::SIZE>(bytes, offset));
    }
    return p;
}

std::array<std::uint8_t, CanPara::SIZE> CanPara::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_CHECKSUM] = checksum;
    bytes[OFFSET_ENABLE] = enable;
    bytes[OFFSET_BAUD_INDEX] = baudIndex;
    bytes[OFFSET_BTR0] = btr0;
    bytes[OFFSET_BTR1] = btr1;
    bytes[OFFSET_WORK_MODE] = workMode;
    bytes[OFFSET_ACCEPT_ALL] = acceptAll;
    bytes[OFFSET_FILTER_COUNT] = filterCount;
    for (std::size_t i = 0; i < MAX_CAN_FILTERS; ++i) {
        PutBytes(bytes, OFFSET_FILTERS + i * CanFilter::SIZE, filters[i].ToBytes());
    }
    return bytes;
}

}  // namespace quillon::protocol
