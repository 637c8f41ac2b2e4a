// The device-control codes of Brindle and the records they return.
//
// All codes use device type 0, METHOD_BUFFERED and FILE_ANY_ACCESS, so the
// code is the function number times four:
//   0x00 GET_CONFIG_DESCRIPTOR  whole configuration descriptor set
//   0x04 RESET_DEVICE           port reset, if still connected
//   0x08 RESET_PIPE             clears a halt on the handle's pipe
//   0x0C GET_PIPE_INFORMATION   20-byte pipe information record
//   0x10 GET_PIPE_COUNT         one byte
//   0x14 GET_ENDPOINT_STATUS    two-byte endpoint status word (0x00FE if no answer)
#pragma once

#include <array>
#include <cstdint>

#include "platform/kmdf/WdfConfig.hpp"

namespace brindle {

inline constexpr std::uint32_t METHOD_BUFFERED = 0;
inline constexpr std::uint32_t FILE_ANY_ACCESS = 0;

constexpr std::uint32_t CTL_CODE(std::uint32_t deviceType, std::uint32_t function,
                                 std::uint32_t method, std::uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

inline constexpr std::uint32_t IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR =
    CTL_CODE(0, 0, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr std::uint32_t IOCTL_ADAPTER_RESET_DEVICE =
    CTL_CODE(0, 1, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr std::uint32_t IOCTL_ADAPTER_RESET_PIPE =
    CTL_CODE(0, 2, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr std::uint32_t IOCTL_ADAPTER_GET_PIPE_INFORMATION =
    CTL_CODE(0, 3, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr std::uint32_t IOCTL_ADAPTER_GET_PIPE_COUNT =
    CTL_CODE(0, 4, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr std::uint32_t IOCTL_ADAPTER_GET_ENDPOINT_STATUS =
    CTL_CODE(0, 5, METHOD_BUFFERED, FILE_ANY_ACCESS);

static_assert(IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR == 0x00);
static_assert(IOCTL_ADAPTER_GET_ENDPOINT_STATUS == 0x14);

/// Pipe information record, little-endian: 0 size (u32, 20), 4 maximum packet
/// size (u32), 8 endpoint address (u8), 9 polling interval (u8), 10 setting
/// index (u8), 11 padding (0), 12 pipe type (u32), 16 maximum transfer size (u32).
inline constexpr std::size_t PIPE_INFORMATION_RECORD_SIZE = 20;
using PipeInformationRecord = std::array<std::uint8_t, PIPE_INFORMATION_RECORD_SIZE>;

PipeInformationRecord EncodePipeInformation(const kmdf::WDF_USB_PIPE_INFORMATION& info);

/// The endpoint status word reported when the device gives no answer.
inline constexpr std::uint16_t ENDPOINT_STATUS_NO_ANSWER = 0x00FE;

}  // namespace brindle
