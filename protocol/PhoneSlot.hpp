#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::protocol {

// One phone number inside DtuAdvPara (16 bytes): up to 15 digits without terminator, then
// the number of digits.
struct PhoneSlot {
    static constexpr std::size_t SIZE = 16;
    static constexpr std::size_t MAX_DIGITS = 15;
    static constexpr std::size_t OFFSET_DIGITS = 0;
    static constexpr std::size_t OFFSET_LENGTH = 15;

    std::array<std::uint8_t, MAX_DIGITS> digits{};
    std::uint8_t length = 0;  // 0..15; larger values come only from a damaged record

    static PhoneSlot FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    void WriteTo(std::span<std::uint8_t, SIZE> bytes) const;

    bool operator==(const PhoneSlot&) const = default;
};

static_assert(PhoneSlot::OFFSET_LENGTH + 1 == PhoneSlot::SIZE);

}  // namespace quillon::protocol
