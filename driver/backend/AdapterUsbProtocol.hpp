// The adapter's USB protocol: how CAN frames, channel set-up and error
// reading travel over the adapter's four pipes. All multi-byte fields are
// little-endian; records are encoded and decoded byte by byte.
//
// Pipes (file names PIPE00..PIPE03):
//   0  bulk IN 0x81       received frames, whole frame records
//   1  bulk OUT 0x01      frames to transmit, whole frame records
//   2  interrupt IN 0x82  one response record per command
//   3  interrupt OUT 0x02 command records
//
// Frame record (20 bytes), both directions:
//   0 channel (0 or 1)   1 flags (bit 0 remote, bit 1 extended identifier)
//   2 data length 0..8   3 reserved (0)
//   4 identifier (u32)   8 time stamp in 0.1 ms since the adapter started (u32;
//                          0 on transmit)
//   12 data (8 bytes, those past the length are 0)
// A transmit write carries up to 2048 records; the adapter accepts records in
// order and stops at the first it refuses, so the bytes written (a multiple of
// 20) tell how many went out. A receive read returns one or more whole records
// and waits while there are none.
//
// Command record: 0 opcode, 1 channel, 2-3 reserved (0), then the payload:
//   0x01 init channel   16 bytes: acceptance code (u32), acceptance mask (u32),
//                       reserved (u32), filter, timing 0, timing 1, mode
//   0x02 start channel  none
//   0x03 read error     none: the response carries the channel's last error,
//                       which is then cleared
//   0x04 set reference  8 bytes: reference type (u32), value (u32)
// Response record (12 bytes): 0 opcode, 1 channel, 2 status (0 done, 1 bad
// channel, 2 unknown command, 3 malformed command, 4 refused by the CAN
// controller), 3 reserved, 4 error code (u32), 8 passive error data
// (3 bytes), 11 arbitration-lost data.
//
// Example: transmitting 0x123 #DE AD on channel 0 writes to pipe 1
//   00 00 02 00  23 01 00 00  00 00 00 00  DE AD 00 00 00 00 00 00
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/kelvix/Kelvix.h"

namespace brindle::usb {

inline constexpr std::uint8_t PIPE_RECEIVE = 0;
inline constexpr std::uint8_t PIPE_TRANSMIT = 1;
inline constexpr std::uint8_t PIPE_RESPONSE = 2;
inline constexpr std::uint8_t PIPE_COMMAND = 3;

inline constexpr std::uint8_t ENDPOINT_RECEIVE = 0x81;
inline constexpr std::uint8_t ENDPOINT_TRANSMIT = 0x01;
inline constexpr std::uint8_t ENDPOINT_RESPONSE = 0x82;
inline constexpr std::uint8_t ENDPOINT_COMMAND = 0x02;

inline constexpr std::size_t FRAME_RECORD_SIZE = 20;
inline constexpr std::size_t MAX_RECORDS_PER_WRITE = 2048;
inline constexpr std::size_t COMMAND_HEADER_SIZE = 4;
inline constexpr std::size_t RESPONSE_RECORD_SIZE = 12;

inline constexpr std::uint8_t FLAG_REMOTE = 0x01;
inline constexpr std::uint8_t FLAG_EXTENDED = 0x02;

enum class Opcode : std::uint8_t {
    InitChannel = 0x01,
    StartChannel = 0x02,
    ReadError = 0x03,
    SetReference = 0x04,
};

enum class ResponseStatus : std::uint8_t {
    Done = 0,
    BadChannel = 1,
    UnknownCommand = 2,
    MalformedCommand = 3,
    Refused = 4,
};

using FrameRecordBytes = std::array<std::uint8_t, FRAME_RECORD_SIZE>;

struct ChannelFrame {
    std::uint8_t channel = 0;
    CanFrameRecord frame{};
};

/// Encodes a frame on `channel`, its TimeStamp included.
FrameRecordBytes EncodeFrame(std::uint8_t channel, const CanFrameRecord& frame);
/// Decodes one record; nullopt if its length or flags are out of range.
std::optional<ChannelFrame> DecodeFrame(std::span<const std::uint8_t> record);

struct Command {
    Opcode opcode = Opcode::StartChannel;
    std::uint8_t channel = 0;
    std::vector<std::uint8_t> payload;
};

std::vector<std::uint8_t> EncodeCommand(const Command& command);
std::vector<std::uint8_t> EncodeInitPayload(const CanInitRecord& init);
/// Decodes the 16-byte init payload; bytes a shorter payload lacks read as 0.
CanInitRecord DecodeInitPayload(std::span<const std::uint8_t> payload);

struct Response {
    std::uint8_t opcode = 0;
    std::uint8_t channel = 0;
    ResponseStatus status = ResponseStatus::Done;
    CanErrorRecord error{};
};

std::array<std::uint8_t, RESPONSE_RECORD_SIZE> EncodeResponse(const Response& response);
/// nullopt unless `bytes` is exactly one response record.
std::optional<Response> DecodeResponse(std::span<const std::uint8_t> bytes);

}  // namespace brindle::usb
