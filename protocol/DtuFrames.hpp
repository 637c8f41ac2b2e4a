// The DTU parameter frames: both DTU records as a run of standard CAN data
// frames, from the first DTU identifier on, and the closing frame.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/kelvix/Kelvix.h"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/FrameCatalogue.hpp"

namespace quillon::protocol {

/// Most frames one write may assemble.
inline constexpr std::size_t DTU_FRAME_CAPACITY = 200;
/// Identifier of the closing frame.
inline constexpr std::uint32_t DTU_END_FRAME_ID = ID_DTU_LAST;

// The frames in sending order. A variable-length field is a run: its first
// frame, then as many of the next identifier as its length needs.
inline constexpr std::uint32_t ID_DTU_SERVER_ADDR = ID_DTU_FIRST;
inline constexpr std::uint32_t ID_DTU_SERVER_ADDR_NEXT = 0x11;
inline constexpr std::uint32_t ID_DTU_SERVER = 0x12;  ///< port, modes, heartbeat interval
inline constexpr std::uint32_t ID_DTU_HEARTBEAT = 0x13;
inline constexpr std::uint32_t ID_DTU_HEARTBEAT_NEXT = 0x14;
inline constexpr std::uint32_t ID_DTU_REG_PACKET = 0x15;
inline constexpr std::uint32_t ID_DTU_REG_PACKET_NEXT = 0x16;
inline constexpr std::uint32_t ID_DTU_DOWNLINK_SMS = 0x17;  ///< downlink timeout, SMS settings
inline constexpr std::uint32_t ID_DTU_UART = 0x18;
inline constexpr std::uint32_t ID_DTU_BACKUP_ADDR = 0x19;
inline constexpr std::uint32_t ID_DTU_BACKUP_ADDR_NEXT = 0x1A;
inline constexpr std::uint32_t ID_DTU_BACKUP = 0x1B;  ///< backup port, RTC, network, minutes
inline constexpr std::uint32_t ID_DTU_APN = 0x1C;
inline constexpr std::uint32_t ID_DTU_APN_NEXT = 0x1D;
/// SMS phone i: ID_DTU_SMS_PHONES + 2i and the next; the wake phone follows them.
inline constexpr std::uint32_t ID_DTU_SMS_PHONES = 0x1E;
inline constexpr std::uint32_t ID_DTU_WAKE_PHONE = 0x2C;
/// d0 of the closing frame.
inline constexpr std::uint8_t DTU_END_MARK = 0xFF;

// Why a build was refused, shown to the user as they are.
inline constexpr const char* FRAME_ADDR_LENGTH = "地址长度有问题!";
inline constexpr const char* FRAME_HEARTBEAT_LENGTH = "心跳包长度过长!";
inline constexpr const char* FRAME_REG_LENGTH = "注册包长度过长!";
inline constexpr const char* FRAME_BACKUP_LENGTH = "备用地址长度过长!";
inline constexpr const char* FRAME_APN_LENGTH = "APN长度过长!";

/// Frames of both records in sending order (data not yet enciphered), or the
/// reason none may be sent: `message` holds the text to show, or is empty for
/// a refusal without a message (a phone length above 15, too many frames).
struct DtuFrameBuild {
    std::vector<CanFrameRecord> frames;
    bool ok = false;
    std::string message;
};

DtuFrameBuild BuildDtuFrames(const DtuBasicPara& basic, const DtuAdvPara& advanced);

}  // namespace quillon::protocol
