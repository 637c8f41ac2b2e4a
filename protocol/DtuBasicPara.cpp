#include "protocol/DtuBasicPara.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU32LE;
using byteorder::PutBytes;
using byteorder::PutU32LE;

using namespace protocol;
using P = DtuBasicPara;

DtuBasicPara DtuBasicPara::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    DtuBasicPara r;
    r.checksum = bytes[OFFSET_CHECKSUM];
    r.serverAddr = GetBytes<MAX_ADDR>(bytes, OFFSET_SERVER_ADDR);
    r.serverAddrLen = bytes[OFFSET_SERVER_ADDR_LEN];
    r.reserved34 = GetBytes<2>(bytes, OFFSET_RESERVED34);
    r.serverPort = GetU32LE(bytes, OFFSET_SERVER_PORT);
    r.connectMode = bytes[OFFSET_CONNECT_MODE];
    r.protocol = bytes[OFFSET_PROTOCOL];
    r.reserved42 = GetBytes<2>(bytes, OFFSET_RESERVED42);
    r.heartbeatSec = GetU32LE(bytes, OFFSET_HEARTBEAT_SEC);
    r.heartbeat = GetBytes<MAX_PACKET>(bytes, OFFSET_HEARTBEAT);
    r.heartbeatHex = bytes[OFFSET_HEARTBEAT_HEX];
    r.heartbeatLen = bytes[OFFSET_HEARTBEAT_LEN];
    r.regPacket = GetBytes<MAX_PACKET>(bytes, OFFSET_REG_PACKET);
    r.regHex = bytes[OFFSET_REG_HEX];
    r.regLen = bytes[OFFSET_REG_LEN];
    r.downlinkTimeoutSec = GetU32LE(bytes, OFFSET_DOWNLINK_TIMEOUT_SEC);
    r.smsOutput = bytes[OFFSET_SMS_OUTPUT];
    r.smsCoding = bytes[OFFSET_SMS_CODING];
    r.smsAlert = bytes[OFFSET_SMS_ALERT];
    r.reserved251 = bytes[OFFSET_RESERVED251];
    r.uartBaud = GetU32LE(bytes, OFFSET_UART_BAUD);
    r.uartParity = bytes[OFFSET_UART_PARITY];
    r.uartDataBits = bytes[OFFSET_UART_DATA_BITS];
    r.uartStopBits = bytes[OFFSET_UART_STOP_BITS];
    r.reserved259 = bytes[OFFSET_RESERVED259];
    return r;
}

std::array<std::uint8_t, P::SIZE> DtuBasicPara::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_CHECKSUM] = checksum;
    PutBytes(bytes, OFFSET_SERVER_ADDR, serverAddr);
    bytes[OFFSET_SERVER_ADDR_LEN] = serverAddrLen;
    PutBytes(bytes, OFFSET_RESERVED34, reserved34);
    PutU32LE(bytes, OFFSET_SERVER_PORT, serverPort);
    bytes[OFFSET_CONNECT_MODE] = connectMode;
    bytes[OFFSET_PROTOCOL] = protocol;
    PutBytes(bytes, OFFSET_RESERVED42, reserved42);
    PutU32LE(bytes, OFFSET_HEARTBEAT_SEC, heartbeatSec);
    PutBytes(bytes, OFFSET_HEARTBEAT, heartbeat);
    bytes[OFFSET_HEARTBEAT_HEX] = heartbeatHex;
    bytes[OFFSET_HEARTBEAT_LEN] = heartbeatLen;
    PutBytes(bytes, OFFSET_REG_PACKET, regPacket);
    bytes[OFFSET_REG_HEX] = regHex;
    bytes[OFFSET_REG_LEN] = regLen;
    PutU32LE(bytes, OFFSET_DOWNLINK_TIMEOUT_SEC, downlinkTimeoutSec);
    bytes[OFFSET_SMS_OUTPUT] = smsOutput;
    bytes[OFFSET_SMS_CODING] = smsCoding;
    bytes[OFFSET_SMS_ALERT] = smsAlert;
    bytes[OFFSET_RESERVED251] = reserved251;
    PutU32LE(bytes, OFFSET_UART_BAUD, uartBaud);
    bytes[OFFSET_UART_PARITY] = uartParity;
    bytes[OFFSET_UART_DATA_BITS] = uartDataBits;
    bytes[OFFSET_UART_STOP_BITS] = uartStopBits;
    bytes[OFFSET_RESERVED259] = reserved259;
    return bytes;
}

}  // namespace quillon::protocol
