#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::byteorder {

// Little-endian access to fixed-layout records and frame payloads. Offsets count bytes from
// the start of the span; touching bytes past its end is a programming error (asserted).

constexpr std::uint16_t GetU16LE(std::span<const std::uint8_t> bytes, std::size_t offset) {
    assert(offset + 2 <= bytes.size());
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

constexpr std::uint32_t GetU32LE(std::span<const std::uint8_t> bytes, std::size_t offset) {
    assert(offset + 4 <= bytes.size());
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

constexpr void PutU16LE(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
    assert(offset + 2 <= bytes.size());
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void PutU32LE(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    assert(offset + 4 <= bytes.size());
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

// Copies N raw bytes (names, reserved areas, nested records) out of or into a record.
template <std::size_t N>
constexpr std::array<std::uint8_t, N> GetBytes(std::span<const std::uint8_t> bytes,
                                               std::size_t offset) {
    assert(offset + N <= bytes.size());
    std::array<std::uint8_t, N> out{};
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), N, out.begin());
    return out;
}

template <std::size_t N>
constexpr void PutBytes(std::span<std::uint8_t> bytes, std::size_t offset,
                        const std::array<std::uint8_t, N>& value) {
    assert(offset + N <= bytes.size());
    std::copy(value.begin(), value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// The N bytes at offset as a fixed-size view, for decoding a nested record.
template <std::size_t N>
constexpr std::span<const std::uint8_t, N> SubBlock(std::span<const std::uint8_t> bytes,
                                                    std::size_t offset) {
    return bytes.subspan(offset).first<N>();
}

}  // namespace quillon::byteorder
