#include "protocol/PhoneSlot.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::PutBytes;

PhoneSlot PhoneSlot::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    PhoneSlot slot;
    slot.digits = GetBytes<MAX_DIGITS>(bytes, OFFSET_DIGITS);
    slot.length = bytes[OFFSET_LENGTH];
    return slot;
}

void PhoneSlot::WriteTo(std::span<std::uint8_t, SIZE> bytes) const {
    PutBytes(bytes, OFFSET_DIGITS, digits);
    bytes[OFFSET_LENGTH] = length;
}

}  // namespace quillon::protocol
