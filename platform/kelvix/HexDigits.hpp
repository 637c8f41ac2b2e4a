// Hexadecimal digits read and written by hand: candump logs run to millions
// of lines, and from_chars and printf cost more per line than the rest of
// the work. No locale is consulted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kelvix {

/// 0..15 for a hex digit of either case, NOT_HEX for any other character.
inline constexpr std::uint8_t NOT_HEX = 0xFF;

inline constexpr std::array<std::uint8_t, 256> HEX_VALUES = [] {
    std::array<std::uint8_t, 256> values{};
    values.fill(NOT_HEX);
    for (int i = 0; i < 10; ++i) {
        values['0' + i] = static_cast<std::uint8_t>(i);
    }
    for (int i = 0; i < 6; ++i) {
        values['A' + i] = static_cast<std::uint8_t>(10 + i);
        values['a' + i] = static_cast<std::uint8_t>(10 + i);
    }
    return values;
}();

inline std::uint8_t HexValue(char c) {
    return HEX_VALUES[static_cast<unsigned char>(c)];
}

inline constexpr char UPPER_HEX_DIGITS[] = "0123456789ABCDEF";

/// Writes the low `digits` nibbles of `value`, upper case, most significant
/// first; returns the end of what was written.
inline char* WriteHex(char* out, std::uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = UPPER_HEX_DIGITS[value & 0xFu];
        value >>= 4;
    }
    return out + digits;
}

/// "00" to "99": two decimal digits at a time.
inline constexpr std::array<char, 200> DECIMAL_PAIRS = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

/// Writes `value` in decimal, without leading zeros; returns the end.
inline char* WriteDecimal(char* out, std::uint64_t value) {
    char reversed[20];
    int count = 0;
    while (value >= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        reversed[count++] = DECIMAL_PAIRS[pair + 1];
        reversed[count++] = DECIMAL_PAIRS[pair];
    }
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        *out++ = reversed[--count];
    }
    return out;
}

/// Writes `value` (below 1000000) as exactly six decimal digits; returns the end.
inline char* WriteSixDigits(char* out, std::uint32_t value) {
    for (int i = 4; i >= 0; i -= 2) {
        const std::size_t pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        out[i] = DECIMAL_PAIRS[pair];
        out[i + 1] = DECIMAL_PAIRS[pair + 1];
    }
    return out + 6;
}

}  // namespace kelvix
