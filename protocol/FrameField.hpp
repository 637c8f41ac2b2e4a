// A field of a frame's eight data bytes: where it starts, how many bytes it
// takes (little-endian) and the record member it carries. A frame lists its
// fields once, in a table that the side building the frame and the side
// decoding it both walk, so a position can only be wrong in both directions
// at once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <variant>

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

inline constexpr std::size_t FRAME_DATA_BYTES = 8;

template <typename Record>
struct FrameField {
    using Member = std::variant<std::uint8_t Record::*, std::uint16_t Record::*,
                                std::uint32_t Record::*, std::int32_t Record::*>;
    std::size_t at;     ///< first data byte
    std::size_t width;  ///< 1, 2 or 4 bytes; a wider member travels as its low bytes
    Member member;
};

/// A data byte the building side always sets to the same value.
struct FrameMark {
    std::size_t at;
    std::uint8_t value;
};

/// A field as wide as its member.
template <typename Record, typename Value>
constexpr FrameField<Record> Field(std::size_t at, Value Record::*member) {
    return {at, sizeof(Value), member};
}

/// A field narrower than its member (a port kept in 32 bits, sent in 16).
template <typename Record, typename Value>
constexpr FrameField<Record> Field(std::size_t at, std::size_t width, Value Record::*member) {
    return {at, width, member};
}

/// True when every field has a width of 1, 2 or 4, lies within the eight data
/// bytes and no two fields or marks share a byte.
template <typename Record, std::size_t N, std::size_t M = 0>
constexpr bool FieldsFit(const std::array<FrameField<Record>, N>& fields,
                         const std::array<FrameMark, M>& marks = {}) {
    std::array<bool, FRAME_DATA_BYTES> taken{};
    const auto take = [&taken](std::size_t at, std::size_t width) {
        for (std::size_t i = at; i < at + width; ++i) {
            if (i >= FRAME_DATA_BYTES || taken[i]) {
                return false;
            }
            taken[i] = true;
        }
        return true;
    };
    for (const auto& field : fields) {
        if ((field.width != 1 && field.width != 2 && field.width != 4) ||
            !take(field.at, field.width)) {
            return false;
        }
    }
    for (const auto& mark : marks) {
        if (!take(mark.at, 1)) {
            return false;
        }
    }
    return true;
}

template <typename Record, std::size_t N>
void PutFields(std::span<std::uint8_t> data, const Record& record,
               const std::array<FrameField<Record>, N>& fields) {
    for (const auto& field : fields) {
        const auto value = std::visit(
            [&record](auto member) { return static_cast<std::uint32_t>(record.*member); },
            field.member);
        switch (field.width) {
            case 1:
                data[field.at] = static_cast<std::uint8_t>(value);
                break;
            case 2:
                byteorder::PutU16LE(data, field.at, static_cast<std::uint16_t>(value));
                break;
            default:
                byteorder::PutU32LE(data, field.at, value);
                break;
        }
    }
}

template <typename Record, std::size_t N>
void GetFields(std::span<const std::uint8_t> data, Record& record,
               const std::array<FrameField<Record>, N>& fields) {
    for (const auto& field : fields) {
        const std::uint32_t value = field.width == 1   ? data[field.at]
                                    : field.width == 2 ? byteorder::GetU16LE(data, field.at)
                                                       : byteorder::GetU32LE(data, field.at);
        std::visit(
            [&record, value](auto member) {
                using Value = std::remove_reference_t<decltype(record.*member)>;
                record.*member = static_cast<Value>(value);
            },
            field.member);
    }
}

template <std::size_t N>
void PutMarks(std::span<std::uint8_t> data, const std::array<FrameMark, N>& marks) {
    for (const auto& mark : marks) {
        data[mark.at] = mark.value;
    }
}

}  // namespace quillon::protocol
