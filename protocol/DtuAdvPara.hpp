#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/PhoneSlot.hpp"

namespace quillon::protocol {

// Advanced settings of the cellular DTU (196 bytes, checksum first): the exact content of
// QXCfgDTUHL.dat and the source of the advanced DTU parameter frames.
struct DtuAdvPara {
    static constexpr std::size_t SIZE = 196;
    static constexpr std::size_t MAX_ADDR = 32;
    static constexpr std::size_t MAX_APN = 32;
    static constexpr std::size_t SMS_PHONE_COUNT = 6;

    static constexpr std::size_t OFFSET_CHECKSUM = 0;
    static constexpr std::size_t OFFSET_BACKUP_ADDR = 1;
    static constexpr std::size_t OFFSET_BACKUP_ADDR_LEN = 33;
    static constexpr std::size_t OFFSET_RESERVED34 = 34;
    static constexpr std::size_t OFFSET_BACKUP_PORT = 36;
    static constexpr std::size_t OFFSET_RTC_AUTO_CAL = 40;
    static constexpr std::size_t OFFSET_NET_PROTOCOL = 41;
    static constexpr std::size_t OFFSET_APN = 42;
    static constexpr std::size_t OFFSET_APN_MODIFY = 74;
    static constexpr std::size_t OFFSET_APN_LEN = 75;
    static constexpr std::size_t OFFSET_SMS_PHONES = 76;
    static constexpr std::size_t OFFSET_WAKE_PHONE = 172;
    static constexpr std::size_t OFFSET_NO_SIGNAL_REBOOT_MIN = 188;
    static constexpr std::size_t OFFSET_TIMED_START_MIN = 192;

    std::uint8_t checksum = 0;
    std::array<std::uint8_t, MAX_ADDR> backupAddr{};  // one byte per character
    std::uint8_t backupAddrLen = 0;                   // 0..32
    std::array<std::uint8_t, 2> reserved34{};
    std::uint32_t backupPort = 0;             // 0..65534
    std::uint8_t rtcAutoCal = 0;              // 1 = correct the real-time clock automatically
    std::uint8_t netProtocol = 0;             // 1 TCP, 2 UDP, 0 never chosen
    std::array<std::uint8_t, MAX_APN> apn{};  // no terminator
    std::uint8_t apnModify = 0;               // kept in the file, never sent
    std::uint8_t apnLen = 0;                  // 0..32
    std::array<PhoneSlot, SMS_PHONE_COUNT> smsPhones{};
    PhoneSlot wakePhone{};
    std::uint32_t noSignalRebootMin = 0;
    std::uint32_t timedStartMin = 0;

    static DtuAdvPara FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const DtuAdvPara&) const = default;
};

static_assert(DtuAdvPara::OFFSET_BACKUP_ADDR + DtuAdvPara::MAX_ADDR ==
              DtuAdvPara::OFFSET_BACKUP_ADDR_LEN);
static_assert(DtuAdvPara::OFFSET_APN + DtuAdvPara::MAX_APN == DtuAdvPara::OFFSET_APN_MODIFY);
static_assert(DtuAdvPara::OFFSET_SMS_PHONES + DtuAdvPara::SMS_PHONE_COUNT * PhoneSlot::SIZE ==
              DtuAdvPara::OFFSET_WAKE_PHONE);
static_assert(DtuAdvPara::OFFSET_WAKE_PHONE + PhoneSlot::SIZE ==
              DtuAdvPara::OFFSET_NO_SIGNAL_REBOOT_MIN);
static_assert(DtuAdvPara::OFFSET_TIMED_START_MIN + 4 == DtuAdvPara::SIZE);

}  // namespace quillon::protocol
