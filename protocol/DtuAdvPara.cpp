#include "protocol/DtuAdvPara.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU32LE;
using byteorder::PutBytes;
using byteorder::PutU32LE;
using byteorder::SubBlock;

using namespace protocol;
using P = DtuAdvPara;

namespace {

std::size_t SmsPhoneOffset(std::size_t index) {
    return P::OFFSET_SMS_PHONES + index * PhoneSlot::SIZE;
}

}  // namespace

DtuAdvPara DtuAdvPara::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    DtuAdvPara r;
    r.checksum = bytes[OFFSET_CHECKSUM];
    r.backupAddr = GetBytes<MAX_ADDR>(bytes, OFFSET_BACKUP_ADDR);
    r.backupAddrLen = bytes[OFFSET_BACKUP_ADDR_LEN];
    r.reserved34 = GetBytes<2>(bytes, OFFSET_RESERVED34);
    r.backupPort = GetU32LE(bytes, OFFSET_BACKUP_PORT);
    r.rtcAutoCal = bytes[OFFSET_RTC_AUTO_CAL];
    r.netProtocol = bytes[OFFSET_NET_PROTOCOL];
    r.apn = GetBytes<MAX_APN>(bytes, OFFSET_APN);
    r.apnModify = bytes[OFFSET_APN_MODIFY];
    r.apnLen = bytes[OFFSET_APN_LEN];
    for (std::size_t i = 0; i < SMS_PHONE_COUNT; ++i) {
        r.smsPhones[i] = PhoneSlot::FromBytes(SubBlock<PhoneSlot::SIZE>(bytes, SmsPhoneOffset(i)));
    }
    r.wakePhone = PhoneSlot::FromBytes(SubBlock<PhoneSlot::SIZE>(bytes, OFFSET_WAKE_PHONE));
    r.noSignalRebootMin = GetU32LE(bytes, OFFSET_NO_SIGNAL_REBOOT_MIN);
    r.timedStartMin = GetU32LE(bytes, OFFSET_TIMED_START_MIN);
    return r;
}

std::array<std::uint8_t, P::SIZE> DtuAdvPara::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    const std::span<std::uint8_t> out(bytes);
    bytes[OFFSET_CHECKSUM] = checksum;
    PutBytes(out, OFFSET_BACKUP_ADDR, backupAddr);
    bytes[OFFSET_BACKUP_ADDR_LEN] = backupAddrLen;
    PutBytes(out, OFFSET_RESERVED34, reserved34);
    PutU32LE(out, OFFSET_BACKUP_PORT, backupPort);
    bytes[OFFSET_RTC_AUTO_CAL] = rtcAutoCal;
    bytes[OFFSET_NET_PROTOCOL] = netProtocol;
    PutBytes(out, OFFSET_APN, apn);
    bytes[OFFSET_APN_MODIFY] = apnModify;
    bytes[OFFSET_APN_LEN] = apnLen;
    for (std::size_t i = 0; i < SMS_PHONE_COUNT; ++i) {
        smsPhones[i].WriteTo(out.subspan(SmsPhoneOffset(i)).first<PhoneSlot::SIZE>());
    }
    wakePhone.WriteTo(out.subspan(OFFSET_WAKE_PHONE).first<PhoneSlot::SIZE>());
    PutU32LE(out, OFFSET_NO_SIGNAL_REBOOT_MIN, noSignalRebootMin);
    PutU32LE(out, OFFSET_TIMED_START_MIN, timedStartMin);
    return bytes;
}

}  // namespace quillon::protocol
