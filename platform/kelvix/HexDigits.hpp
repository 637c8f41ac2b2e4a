// Hexadecimal digits read and written by hand: candump logs run to millions
// of lines, and from_chars and printf cost more per line than the rest of
// the work. No locale is consulted.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

/// "00" to "FF": a byte's two hex digits at a time.
inline constexpr std::array<char, 512> UPPER_HEX_PAIRS = [] {
    std::array<char, 512> pairs{};
    for (int i = 0; i < 256; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = UPPER_HEX_DIGITS[i >> 4];
        pairs[static_cast<std::size_t>(2 * i + 1)] = UPPER_HEX_DIGITS[i & 0xF];
    }
    return pairs;
}();

/// Writes `byte` as two upper-case hex digits.
inline void WriteHexByte(char* out, std::uint8_t byte) {
    out[0] = UPPER_HEX_PAIRS[2u * byte];
    out[1] = UPPER_HEX_PAIRS[2u * byte + 1];
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

/// 1, 10, 100, ... 10^19.
inline constexpr std::array<std::uint64_t, 20> POWERS_OF_TEN = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

/// How many decimal digits `value` has (1 for 0), from its bit width rather
/// than by dividing: 1233 / 4096 is just above log10(2).
inline int DecimalDigits(std::uint64_t value) {
    const int guess = (std::bit_width(value | 1) * 1233) >> 12;
    return guess + 1 - ((value | 1) < POWERS_OF_TEN[static_cast<std::size_t>(guess)] ? 1 : 0);
}

/// Writes the last `count` digits of `value` (leading zeros included) so that
/// they end at `end`, two at a time.
inline void WriteDigitsBackwards(char* end, std::uint64_t value, int count) {
    for (; count >= 2; count -= 2) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        *--end = DECIMAL_PAIRS[pair + 1];
        *--end = DECIMAL_PAIRS[pair];
    }
    if (count == 1) {
        *--end = static_cast<char>('0' + value % 10);
    }
}

/// Writes `value` in decimal, without leading zeros; returns the end. Long
/// values are cut in two at eight digits, and the halves are written by
/// divisions that do not wait for each other.
inline char* WriteDecimal(char* out, std::uint64_t value) {
    constexpr int LOW_DIGITS = 8;
    const int count = DecimalDigits(value);
    char* const end = out + count;
    if (count > LOW_DIGITS) {
        const std::uint64_t low = value % POWERS_OF_TEN[LOW_DIGITS];
        WriteDigitsBackwards(end, low, LOW_DIGITS);
        WriteDigitsBackwards(end - LOW_DIGITS, value / POWERS_OF_TEN[LOW_DIGITS],
                             count - LOW_DIGITS);
    } else {
        WriteDigitsBackwards(end, value, count);
    }
    return end;
}

/// The eight ASCII bytes at `text` as one word, the first in the low byte.
inline std::uint64_t LoadEightBytes(const char* text) {
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&word, text, sizeof(word));  // one load; the compiler does not merge the loop
    } else {
        for (int i = 7; i >= 0; --i) {
            word = word << 8 | static_cast<unsigned char>(text[i]);
        }
    }
    return word;
}

/// True when every byte of `word` (from LoadEightBytes) is a decimal digit.
inline bool AllDecimalDigits(std::uint64_t word) {
    constexpr std::uint64_t HIGH_NIBBLES = 0xF0F0F0F0F0F0F0F0u;
    constexpr std::uint64_t ZEROS = 0x3030303030303030u;
    // '0'..'9' is 0x30..0x39: the high nibble is 3, and adding 6 keeps it 3.
    return (word & HIGH_NIBBLES) == ZEROS && ((word + 0x0606060606060606u) & HIGH_NIBBLES) == ZEROS;
}

/// The number eight decimal digits (from LoadEightBytes, checked by
/// AllDecimalDigits) spell, worked out in three steps rather than eight.
inline std::uint32_t EightDigitsValue(std::uint64_t word) {
    word &= 0x0F0F0F0F0F0F0F0Fu;
    word = (word * 10 + (word >> 8)) & 0x00FF00FF00FF00FFu;
    word = (word * 100 + (word >> 16)) & 0x0000FFFF0000FFFFu;
    return static_cast<std::uint32_t>((word * 10000 + (word >> 32)) & 0xFFFFFFFFu);
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
