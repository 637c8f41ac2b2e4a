// Where each field of a DTU parameter frame sits in the frame's data bytes:
// the one list that the PC's side (DtuFrames) and the device's side
// (DtuFrameReader) both use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/FrameField.hpp"

namespace quillon::protocol {

// The four frames of fixed layout. Ports and the two minute values travel as
// their low 16 bits.
inline constexpr std::array DTU_SERVER_FIELDS{
    Field(0, 2, &DtuBasicPara::serverPort), Field(2, &DtuBasicPara::connectMode),
    Field(3, &DtuBasicPara::protocol), Field(4, &DtuBasicPara::heartbeatSec)};
inline constexpr std::array DTU_DOWNLINK_SMS_FIELDS{
    Field(0, &DtuBasicPara::downlinkTimeoutSec), Field(4, &DtuBasicPara::smsOutput),
    Field(5, &DtuBasicPara::smsCoding), Field(6, &DtuBasicPara::smsAlert)};
inline constexpr std::array DTU_DOWNLINK_SMS_MARKS{FrameMark{7, 0xFF}};
inline constexpr std::array DTU_UART_FIELDS{
    Field(0, &DtuBasicPara::uartBaud), Field(4, &DtuBasicPara::uartParity),
    Field(5, &DtuBasicPara::uartDataBits), Field(6, &DtuBasicPara::uartStopBits)};
inline constexpr std::array DTU_UART_MARKS{FrameMark{7, 0xFF}};
inline constexpr std::array DTU_BACKUP_FIELDS{
    Field(0, 2, &DtuAdvPara::backupPort), Field(2, &DtuAdvPara::rtcAutoCal),
    Field(3, &DtuAdvPara::netProtocol), Field(4, 2, &DtuAdvPara::noSignalRebootMin),
    Field(6, 2, &DtuAdvPara::timedStartMin)};

// A run of a variable-length field: d0 holds the field's length in the first
// frame and the frame's number (2, 3, ...) in the others; d1..d7 the next
// field bytes.
inline constexpr std::size_t DTU_RUN_COUNT_AT = 0;
inline constexpr std::size_t DTU_RUN_BYTES_AT = 1;
inline constexpr std::size_t DTU_RUN_BYTES_PER_FRAME = FRAME_DATA_BYTES - DTU_RUN_BYTES_AT;

// A phone number: the first frame holds its length and digits 0..6, the
// second digits 7..14.
inline constexpr std::size_t DTU_PHONE_LENGTH_AT = 0;
inline constexpr std::size_t DTU_PHONE_HEAD_AT = 1;
inline constexpr std::size_t DTU_PHONE_HEAD_DIGITS = FRAME_DATA_BYTES - DTU_PHONE_HEAD_AT;
inline constexpr std::size_t DTU_PHONE_TAIL_AT = 0;

/// d0 of the closing frame carries the end mark.
inline constexpr std::size_t DTU_END_MARK_AT = 0;

static_assert(FieldsFit(DTU_SERVER_FIELDS));
static_assert(FieldsFit(DTU_DOWNLINK_SMS_FIELDS, DTU_DOWNLINK_SMS_MARKS));
static_assert(FieldsFit(DTU_UART_FIELDS, DTU_UART_MARKS));
static_assert(FieldsFit(DTU_BACKUP_FIELDS));

}  // namespace quillon::protocol
