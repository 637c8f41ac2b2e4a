#include "protocol/DtuFrames.hpp"

#include <algorithm>
#include <span>

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::PutU16LE;
using byteorder::PutU32LE;
namespace {

constexpr std::size_t RUN_BYTES_PER_FRAME = 7;

// Frames in sending order; the first failed check ends the build with its message.
class FrameBuilder {
  public:
    explicit FrameBuilder(DtuFrameBuild& build) : build_(build) {}

    bool Check(bool valid, const char* message) {
        if (!valid) {
            build_.message = message;
        }
        return valid;
    }

    // A run of ⌊L/7⌋ + 1 frames: the first with d0 = L, frame k with d0 = k + 1,
    // each carrying the next up to seven field bytes in d1..d7.
    void Run(std::uint32_t firstId, std::uint32_t nextId, std::span<const std::uint8_t> field) {
        const std::size_t frames = field.size() / RUN_BYTES_PER_FRAME + 1;
        for (std::size_t k = 0; k < frames; ++k) {
            CanFrameRecord& frame = Add(k == 0 ? firstId : nextId);
            frame.Data[0] = static_cast<std::uint8_t>(k == 0 ? field.size() : k + 1);
            const std::size_t from = std::min(field.size(), k * RUN_BYTES_PER_FRAME);
            const auto part =
                field.subspan(from, std::min(RUN_BYTES_PER_FRAME, field.size() - from));
            std::copy(part.begin(), part.end(), frame.Data + 1);
        }
    }

    // Two frames: d0 = length and digits 0..6, then digits 7..14; digits past the length unsent.
    void Phone(std::uint32_t firstId, const PhoneSlot& slot) {
        const auto digits = std::span(slot.digits).first(slot.length);
        CanFrameRecord& first = Add(firstId);
        first.Data[0] = slot.length;
        const auto head = digits.first(std::min<std::size_t>(digits.size(), 7));
        std::copy(head.begin(), head.end(), first.Data + 1);
        CanFrameRecord& second = Add(firstId + 1);
        const auto tail = digits.subspan(head.size());
        std::copy(tail.begin(), tail.end(), second.Data);
    }

    CanFrameRecord& Add(std::uint32_t id, std::uint8_t length = 8) {
        CanFrameRecord frame{};
        frame.ID = id;
        frame.DataLen = length;
        build_.frames.push_back(frame);
        return build_.frames.back();
    }

  private:
    DtuFrameBuild& build_;
};

std::span<const std::uint8_t> Field(std::span<const std::uint8_t> bytes, std::size_t length) {
    return bytes.first(length);
}

bool AddBasic(FrameBuilder& out, const DtuBasicPara& b) {
    if (!out.Check(b.serverAddrLen != 0 && b.serverAddrLen <= DtuBasicPara::MAX_ADDR,
                   FRAME_ADDR_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_SERVER_ADDR, ID_DTU_SERVER_ADDR_NEXT, Field(b.serverAddr, b.serverAddrLen));
    std::span<std::uint8_t> d = out.Add(ID_DTU_SERVER).Data;
    PutU16LE(d, 0, static_cast<std::uint16_t>(b.serverPort));
    d[2] = b.connectMode;
    d[3] = b.protocol;
    PutU32LE(d, 4, b.heartbeatSec);
    if (!out.Check(b.heartbeatLen <= DtuBasicPara::MAX_PACKET, FRAME_HEARTBEAT_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_HEARTBEAT, ID_DTU_HEARTBEAT_NEXT, Field(b.heartbeat, b.heartbeatLen));
    if (!out.Check(b.regLen <= DtuBasicPara::MAX_PACKET, FRAME_REG_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_REG_PACKET, ID_DTU_REG_PACKET_NEXT, Field(b.regPacket, b.regLen));
    d = out.Add(ID_DTU_DOWNLINK_SMS).Data;
    PutU32LE(d, 0, b.downlinkTimeoutSec);
    d[4] = b.smsOutput;
    d[5] = b.smsCoding;
    d[6] = b.smsAlert;
    d[7] = 0xFF;
    d = out.Add(ID_DTU_UART).Data;
    PutU32LE(d, 0, b.uartBaud);
    d[4] = b.uartParity;
    d[5] = b.uartDataBits;
    d[6] = b.uartStopBits;
    d[7] = 0xFF;
    return true;
}

bool AddAdvanced(FrameBuilder& out, const DtuAdvPara& a) {
    if (!out.Check(a.backupAddrLen <= DtuAdvPara::MAX_ADDR, FRAME_BACKUP_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_BACKUP_ADDR, ID_DTU_BACKUP_ADDR_NEXT, Field(a.backupAddr, a.backupAddrLen));
    std::span<std::uint8_t> d = out.Add(ID_DTU_BACKUP).Data;
    PutU16LE(d, 0, static_cast<std::uint16_t>(a.backupPort));
    d[2] = a.rtcAutoCal;
    d[3] = a.netProtocol;
    PutU16LE(d, 4, static_cast<std::uint16_t>(a.noSignalRebootMin));
    PutU16LE(d, 6, static_cast<std::uint16_t>(a.timedStartMin));
    if (!out.Check(a.apnLen <= DtuAdvPara::MAX_APN, FRAME_APN_LENGTH)) {
        return false;
    }
    out.Run(ID_DTU_APN, ID_DTU_APN_NEXT, Field(a.apn, a.apnLen));
    for (std::size_t i = 0; i <= DtuAdvPara::SMS_PHONE_COUNT; ++i) {
        const PhoneSlot& slot = i < DtuAdvPara::SMS_PHONE_COUNT ? a.smsPhones[i] : a.wakePhone;
        if (!out.Check(slot.length <= PhoneSlot::MAX_DIGITS, "")) {
            return false;  // refused without a message
        }
        const auto id = i < DtuAdvPara::SMS_PHONE_COUNT
                            ? static_cast<std::uint32_t>(ID_DTU_SMS_PHONES + 2 * i)
                            : ID_DTU_WAKE_PHONE;
        out.Phone(id, slot);
    }
    return true;
}

}  // namespace

DtuFrameBuild BuildDtuFrames(const DtuBasicPara& basic, const DtuAdvPara& advanced) {
    DtuFrameBuild build;
    FrameBuilder out(build);
    if (!AddBasic(out, basic) || !AddAdvanced(out, advanced)) {
        build.frames.clear();
        return build;
    }
    out.Add(DTU_END_FRAME_ID, 1).Data[0] = DTU_END_MARK;
    if (build.frames.size() > DTU_FRAME_CAPACITY) {
        build.frames.clear();
        return build;
    }
    build.ok = true;
    return build;
}

}  // namespace quillon::protocol
