// A frame as raw CAN sockets carry it, and its mapping to and from the
// library's CanFrameRecord.
//
// The socket identifier word holds the identifier in its low 29 (extended) or
// 11 (standard) bits and three flags in the top bits: extended format, remote
// request and error frame. The flag values are the kernel's.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

inline constexpr std::uint32_t SOCKETCAN_EXTENDED_FLAG = 0x80000000u;
inline constexpr std::uint32_t SOCKETCAN_REMOTE_FLAG = 0x40000000u;
inline constexpr std::uint32_t SOCKETCAN_ERROR_FLAG = 0x20000000u;
inline constexpr std::uint32_t SOCKETCAN_STANDARD_MASK = 0x000007FFu;
inline constexpr std::uint32_t SOCKETCAN_EXTENDED_MASK = 0x1FFFFFFFu;
inline constexpr std::uint8_t SOCKETCAN_MAX_LENGTH = 8;

struct SocketCanFrame {
    std::uint32_t canId = 0;  ///< identifier plus flags
    std::uint8_t length = 0;  ///< 0..8; for a remote request the requested length
    std::array<std::uint8_t, 8> data{};
};

/// The socket frame for `record`, or nothing with `error` set when the record
/// cannot go on the bus as it is (identifier wider than its format, length
/// over 8): sending a different identifier or a cut payload would be worse
/// than refusing.
std::optional<SocketCanFrame> ToSocketCanFrame(const CanFrameRecord& record, std::string& error);

/// The record for a received data or remote frame; nothing for an error
/// frame, which is not traffic. Payload bytes beyond the length are zero;
/// TimeStamp and TimeFlag are left for the caller.
std::optional<CanFrameRecord> FromSocketCanFrame(const SocketCanFrame& frame);

}  // namespace kelvix
