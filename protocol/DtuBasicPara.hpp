#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::protocol {

// Basic settings of the cellular DTU (260 bytes, checksum first): the exact content of
// QXCfgDTU.dat and the source of the basic DTU parameter frames.
struct DtuBasicPara {
    static constexpr std::size_t SIZE = 260;
    static constexpr std::size_t MAX_ADDR = 32;
    static constexpr std::size_t MAX_PACKET = 96;

    static constexpr std::size_t OFFSET_CHECKSUM = 0;
    static constexpr std::size_t OFFSET_SERVER_ADDR = 1;
    static constexpr std::size_t OFFSET_SERVER_ADDR_LEN = 33;
    static constexpr std::size_t OFFSET_RESERVED34 = 34;
    static constexpr std::size_t OFFSET_SERVER_PORT = 36;
    static constexpr std::size_t OFFSET_CONNECT_MODE = 40;
    static constexpr std::size_t OFFSET_PROTOCOL = 41;
    static constexpr std::size_t OFFSET_RESERVED42 = 42;
    static constexpr std::size_t OFFSET_HEARTBEAT_SEC = 44;
    static constexpr std::size_t OFFSET_HEARTBEAT = 48;
    static constexpr std::size_t OFFSET_HEARTBEAT_HEX = 144;
    static constexpr std::size_t OFFSET_HEARTBEAT_LEN = 145;
    static constexpr std::size_t OFFSET_REG_PACKET = 146;
    static constexpr std::size_t OFFSET_REG_HEX = 242;
    static constexpr std::size_t OFFSET_REG_LEN = 243;
    static constexpr std::size_t OFFSET_DOWNLINK_TIMEOUT_SEC = 244;
    static constexpr std::size_t OFFSET_SMS_OUTPUT = 248;
    static constexpr std::size_t OFFSET_SMS_CODING = 249;
    static constexpr std::size_t OFFSET_SMS_ALERT = 250;
    static constexpr std::size_t OFFSET_RESERVED251 = 251;
    static constexpr std::size_t OFFSET_UART_BAUD = 252;
    static constexpr std::size_t OFFSET_UART_PARITY = 256;
    static constexpr std::size_t OFFSET_UART_DATA_BITS = 257;
    static constexpr std::size_t OFFSET_UART_STOP_BITS = 258;
    static constexpr std::size_t OFFSET_RESERVED259 = 259;

    std::uint8_t checksum = 0;
    std::array<std::uint8_t, MAX_ADDR> serverAddr{};  // one byte per character
    std::uint8_t serverAddrLen = 0;                   // 1..32
    std::array<std::uint8_t, 2> reserved34{};
    std::uint32_t serverPort = 0;  // 0..65534
    std::uint8_t connectMode = 0;  // 1 automatic, 2 single connection
    std::uint8_t protocol = 0;     // 1 private protocol, 2 transparent
    std::array<std::uint8_t, 2> reserved42{};
    std::uint32_t heartbeatSec = 0;
    std::array<std::uint8_t, MAX_PACKET> heartbeat{};
    std::uint8_t heartbeatHex = 0;  // 1 = typed as hexadecimal text
    std::uint8_t heartbeatLen = 0;  // 0..96
    std::array<std::uint8_t, MAX_PACKET> regPacket{};
    std::uint8_t regHex = 0;
    std::uint8_t regLen = 0;               // 0..96
    std::uint32_t downlinkTimeoutSec = 0;  // 0 = no timeout
    std::uint8_t smsOutput = 0;            // list positions; 255 = no selection
    std::uint8_t smsCoding = 0;
    std::uint8_t smsAlert = 0;
    std::uint8_t reserved251 = 0;
    std::uint32_t uartBaud = 0;  // bit/s
    std::uint8_t uartParity = 0;
    std::uint8_t uartDataBits = 0;  // 0 = 8 data bits
    std::uint8_t uartStopBits = 0;
    std::uint8_t reserved259 = 0;

    static DtuBasicPara FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const DtuBasicPara&) const = default;
};

static_assert(DtuBasicPara::OFFSET_SERVER_ADDR + DtuBasicPara::MAX_ADDR ==
              DtuBasicPara::OFFSET_SERVER_ADDR_LEN);
static_assert(DtuBasicPara::OFFSET_HEARTBEAT + DtuBasicPara::MAX_PACKET ==
              DtuBasicPara::OFFSET_HEARTBEAT_HEX);
static_assert(DtuBasicPara::OFFSET_REG_PACKET + DtuBasicPara::MAX_PACKET ==
              DtuBasicPara::OFFSET_REG_HEX);
static_assert(DtuBasicPara::OFFSET_UART_BAUD + 4 == DtuBasicPara::OFFSET_UART_PARITY);
static_assert(DtuBasicPara::OFFSET_RESERVED259 + 1 == DtuBasicPara::SIZE);

}  // namespace quillon::protocol
