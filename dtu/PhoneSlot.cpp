#include "dtu/PhoneSlot.hpp"

#include "protocol/ByteOrder.hpp"

namespace quillon::dtu {

PhoneSlot PhoneSlot::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    PhoneSlot slot;
    slot.digits = protocol::GetBytes<MAX_DIGITS>(bytes, OFFSET_DIGITS);
    slot.length = bytes[OFFSET_LENGTH];
    return slot;
}

void PhoneSlot::WriteTo(std::span<std::uint8_t, SIZE> bytes) const {
    protocol::PutBytes(bytes, OFFSET_DIGITS, digits);
    bytes[OFFSET_LENGTH] = length;
}

}  // namespace quillon::dtu
